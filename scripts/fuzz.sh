#!/usr/bin/env bash
# Builds every libFuzzer target with clang (ASan + UBSan, coverage in every
# library) and runs each fuzz_* executable for SECONDS on a temporary copy of
# its seed corpus fuzz/<name>/corpus/ (and with fuzz/<name>/*.dict when there
# is one). Prints the executions of each target; fails when any target
# crashes, leaks, hangs or cannot be built. Crash inputs are kept under
# build/fuzz/artifacts/<target>/.
# Usage: scripts/fuzz.sh [SECONDS]   (default 60; TAVRIN_FUZZ_JOBS sets build jobs)
set -euo pipefail
seconds=${1:-60}
case $seconds in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/fuzz
# A fresh clone has no build folder yet: the configure log is written beside it.
mkdir -p "$build"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRIN_FUZZ=ON -DTAVRIN_TESTS=OFF -DTAVRIN_BENCH=OFF -DTAVRIN_PLATFORM=OFF -DTAVRIN_SANITIZE=ON \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link > "$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; echo "fuzz: configure failed" >&2; exit 1; }
# Keep going past a failing target so that every fuzz target that builds still runs.
build_ok=1
# Only the fuzz targets and what they link (the folder's own target).
cmake --build "$build" -j "${TAVRIN_FUZZ_JOBS:-$(nproc)}" --target fuzz/all -- -k 0 || build_ok=0

mapfile -t targets < <(find "$build" -path "$build/CMakeFiles" -prune -o -type f -perm -u+x -name 'fuzz_*' -print | sort)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no fuzz_* targets built"
  [ $build_ok -eq 1 ]
  exit
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=0
for exe in "${targets[@]}"; do
  name=$(basename "$exe")
  short=${name#fuzz_}
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/corpus" "$build/artifacts/$name"
  if [ -d "fuzz/$short/corpus" ]; then
    cp -R "fuzz/$short/corpus/." "$work/corpus/"
  fi
  args=(-max_total_time="$seconds" -timeout=25 -print_final_stats=1 -artifact_prefix="$build/artifacts/$name/")
  dict=$(find "fuzz/$short" -maxdepth 1 -name '*.dict' 2>/dev/null | sort | head -n 1)
  [ -n "$dict" ] && args+=(-dict="$dict")
  seeds=$(find "$work/corpus" -type f | wc -l)
  set +e
  "$exe" "${args[@]}" "$work/corpus" > "$work/log" 2>&1
  rc=$?
  set -e
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  if [ $rc -eq 0 ]; then
    echo "fuzz: $name: ${execs:-?} execs in ${seconds}s, $seeds seeds, no crash"
  else
    echo "fuzz: $name: FAILED (exit $rc) after ${execs:-?} execs; inputs in build/fuzz/artifacts/$name/"
    tail -n 60 "$work/log"
    failed=1
  fi
  rm -rf "$work"
  trap - EXIT
done
if [ $build_ok -eq 0 ]; then
  echo "fuzz: FAILED: some targets did not build (see above)"
  failed=1
fi
exit $failed
