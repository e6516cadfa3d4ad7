#!/usr/bin/env bash
# Builds the Debian package of a build folder with CPack into a temporary
# folder and checks what it holds and depends on.
# Usage: package_test.sh BUILD_DIR VERSION APP_ID
# Exits 77 (skipped) when dpkg-deb or dpkg-shlibdeps (dpkg-dev) is missing.
set -uo pipefail
build=$(realpath "$1")
version=$2
app_id=$3
for tool in dpkg-deb dpkg-shlibdeps cpack; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "package: skipped, $tool is missing"
    exit 77
  fi
done
work=$(mktemp -d /tmp/tavrin-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package: FAILED: $*" >&2
  exit 1
}

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$work/out/tavrin_${version}_amd64.deb
[ -f "$deb" ] || { ls "$work/out" >&2; fail "no $(basename "$deb")"; }

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in ./usr/bin/tavrin ./usr/bin/tavrin-sim ./usr/bin/tavrin-dat \
         ./usr/share/applications/$app_id.desktop ./usr/share/metainfo/$app_id.metainfo.xml \
         ./usr/share/man/man6/tavrin.6 ./usr/share/icons/hicolor/16x16/apps/$app_id.png \
         ./usr/share/icons/hicolor/256x256/apps/$app_id.png ./usr/share/tavrin/Data/Title.bmp; do
  grep -qxF "$f" "$work/files" || fail "the package lacks $f"
done
[ "$(grep -c '^\./usr/share/tavrin/Data/.' "$work/files")" -ge 31 ] || fail "the package lacks data files"
grep -v '^\./usr/' "$work/files" | grep -vqx '\./' && fail "files outside /usr: $(grep -v '^\./usr/' "$work/files" | grep -vx '\./')"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tavrin ] && [ "$(field Version)" = "$version" ] && [ "$(field Section)" = games ] &&
  [ "$(field Architecture)" = amd64 ] || fail "control: $(dpkg-deb -f "$deb")"
depends=$(field Depends)
for library in libsdl2-2.0-0 libgl1 libopengl0 libc6 libstdc++6; do
  [[ ", $depends," == *", $library"[\ ,]* ]] || fail "Depends lacks $library: $depends"
done
echo "package: $(basename "$deb"), $(wc -l <"$work/files") entries, Depends: $depends"
