#!/usr/bin/env bash
# Runs every benchmark program: the executables that the build put directly into
# BUILD/bench/ (Google Benchmark programs) and the executable scripts in bench/ (which
# get BUILD as their first argument). Each prints its figures beside a floor measured in
# the same run. A failing program is reported and the others still run.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
status=0

run() {
  echo "== $*"
  "$@" || { echo "!! failed: $*" >&2; status=1; }
}

for program in "$BUILD"/bench/*; do
  [ -f "$program" ] && [ -x "$program" ] && run "$program"
done
for script in bench/*; do
  [ -f "$script" ] && [ -x "$script" ] && run "$script" "$BUILD"
done
exit $status
