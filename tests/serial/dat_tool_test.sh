#!/bin/sh
# End-to-end test of tavrin-dat: pack, dump, round trip, malformed input and usage.
# Usage: dat_tool_test.sh TOOL WORKDIR
set -u
tool=$1
dir=$2
rm -rf "$dir" && mkdir -p "$dir" || exit 1
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

# A model written by the tool, dumped and packed again, gives the same bytes.
cat > "$dir/model.json" <<'JSON'
{ "VertexData": [0, 0, 0, 1, 0, 0, 0.1, 1, -0.0, 1e-45, 3.4028235e38, "NaN"],
  "Scale": 0.25,
  "FaceList": [[0, 1, 2], [0, 2, 3, 1]],
  "NormalData": [0, 0, 1],
  "FaceNormalList": [[0, 0, 0], [0, 0, 0, 0]],
  "MaterialList": [{ "Diffuse": {"r": 1, "g": 0.5, "b": 0, "a": 1}, "Power": 20 }],
  "FaceMaterialList": [0] }
JSON
"$tool" pack "$dir/model.json" "$dir/a.dat" || fail "pack of a valid model"
"$tool" dump "$dir/a.dat" > "$dir/a.json" || fail "dump of a packed model"
"$tool" pack "$dir/a.json" "$dir/b.dat" || fail "pack of a dump"
cmp -s "$dir/a.dat" "$dir/b.dat" || fail "dump then pack does not give the same bytes"
grep -q '"Scale": 0.25' "$dir/a.json" || fail "Scale not in the dump"
grep -q '0.1,' "$dir/a.json" || fail "0.1 does not print in its shortest form"
keys=$(grep -o '^  "[A-Za-z]*"' "$dir/a.json" | tr -d ' "' | tr '\n' ' ')
[ "$keys" = "VertexData Scale FaceList NormalData FaceNormalList MaterialList FaceMaterialList " ] ||
    fail "keys not in declaration order: $keys"

# The worked example: 129 bytes in which only some fields are set.
printf '\000\005\000\000\000Model\000\005\000\000\000Scale\000\000\200\077\001' > "$dir/ex.dat"
printf '\000\010\000\000\000FaceList\002\001\000\000\000\002\003\000\000\000' >> "$dir/ex.dat"
printf '\000\000\000\000\001\000\000\000\002\000\000\000\003\003\001' >> "$dir/ex.dat"
printf '\000\014\000\000\000MaterialList\002\001\000\000\000\004' >> "$dir/ex.dat"
printf '\000\007\000\000\000Diffuse\000\001\000\000\000r\000\000\000\077\001\001' >> "$dir/ex.dat"
printf '\000\005\000\000\000Power\000\000\040\101\001\005\003\001\001' >> "$dir/ex.dat"
[ "$(wc -c < "$dir/ex.dat")" -eq 129 ] || fail "worked example is not 129 bytes"
"$tool" dump "$dir/ex.dat" > "$dir/ex.json" || fail "dump of the worked example"
grep -q '"Power": 10.0' "$dir/ex.json" || fail "Power of the worked example"
grep -q '"VertexData": \[\]' "$dir/ex.json" || fail "a missing array does not dump empty"

# A malformed file: the loader's message on stderr, exit 1, nothing on stdout.
printf '\001' > "$dir/bad.dat"
"$tool" dump "$dir/bad.dat" > "$dir/bad.out" 2> "$dir/bad.err"
[ $? -eq 1 ] || fail "malformed file does not exit 1"
[ "$(cat "$dir/bad.err")" = "CSerialDataLoad::ReadData() - Invalid file format (Type != 0)" ] ||
    fail "malformed file message: $(cat "$dir/bad.err")"
[ ! -s "$dir/bad.out" ] || fail "malformed file printed on stdout"

# Bad input and usage errors.
echo '{"FaceList": [[0, 1, 2.5]]}' > "$dir/badint.json"
"$tool" pack "$dir/badint.json" "$dir/x.dat" 2> "$dir/badint.err"
[ $? -eq 1 ] || fail "a fractional index does not exit 1"
grep -q 'FaceList\[0\]\[2\]' "$dir/badint.err" || fail "bad index message: $(cat "$dir/badint.err")"
"$tool" 2> "$dir/usage.err"
[ $? -eq 2 ] || fail "no arguments does not exit 2"
grep -q '^usage: tavrin-dat' "$dir/usage.err" || fail "no usage line"
"$tool" dump 2> /dev/null
[ $? -eq 2 ] || fail "dump without a file does not exit 2"

[ $fails -eq 0 ] && echo "tavrin-dat: all checks passed"
exit $fails
