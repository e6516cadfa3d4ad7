#!/usr/bin/env bash
# Checks an installed file with the tool its kind has on Debian; exits 77
# (skipped) when that tool is missing.
# Usage: validate.sh desktop|metainfo|man FILE
set -uo pipefail
kind=$1 file=$2
need() {
  if ! command -v "$1" >/dev/null 2>&1; then
    echo "validate: skipped, $1 is missing"
    exit 77
  fi
}
case $kind in
desktop)
  need desktop-file-validate
  out=$(desktop-file-validate "$file" 2>&1) && [ -z "$out" ]
  ;;
metainfo)
  need appstreamcli
  out=$(appstreamcli validate --no-net "$file" 2>&1)
  ;;
man)
  # Both renderers, every warning on; any output on stderr fails.
  need man
  need groff
  out=$(man --warnings -l "$file" 2>&1 >/dev/null; groff -ww -man -z "$file" 2>&1) && [ -z "$out" ]
  ;;
*)
  echo "validate: unknown kind $kind" >&2
  exit 2
  ;;
esac
status=$?
[ -n "$out" ] && echo "$out"
[ $status -eq 0 ] && echo "validate: $file is valid" || echo "validate: FAILED: $file" >&2
exit $status
