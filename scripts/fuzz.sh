#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers) in
# build-fuzz/ and runs each for FUZZ_SECONDS (default 60), with the sanitizer options of
# scripts/with-sanitizers.sh. A finding fails the run and is left in
# build-fuzz/findings/<target>/ (remove it once fixed). The corpus grows in
# build-fuzz/corpus/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${FUZZ_SECONDS:-60}"
OUT=build-fuzz

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is missing (make deps installs it)" >&2
  exit 1
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S fuzz -B "$OUT" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build "$OUT" -j "${JOBS:-2}"

declare -A SEEDS=(
  [bookmark_import]="fuzz/corpus/bookmark tests/data/bookmarks"
  [ini_file]="fuzz/corpus/ini"
  [dde_command]="fuzz/corpus/dde"
  [session_file]="fuzz/corpus/session"
)
for target in bookmark_import ini_file dde_command session_file; do
  corpus="$OUT/corpus/$target"
  findings="$OUT/findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz_$target for ${SECONDS_EACH}s"
  # The whole log is kept; the summary lines are shown. The fuzzer's own status counts:
  # a crash, leak, timeout or running out of memory all end the run with a failure.
  log="$OUT/fuzz_$target.log"
  status=0
  # shellcheck disable=SC2086
  bash scripts/with-sanitizers.sh "$OUT/fuzz_$target" -max_total_time="$SECONDS_EACH" -max_len=65536 \
    -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$findings/" -print_final_stats=1 \
    "$corpus" ${SEEDS[$target]} >"$log" 2>&1 || status=$?
  grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|==|SUMMARY|.*property failed|INFO: -max_total_time)' "$log" || true
  if [ "$status" -ne 0 ] || compgen -G "$findings/*" >/dev/null; then
    tail -n 40 "$log" >&2
    echo "fuzz_$target found a problem (status $status): see $findings and $log" >&2
    exit 1
  fi
done
echo "fuzz: no findings"
