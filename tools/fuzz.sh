#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs the Intel HEX reader's for 60 seconds from a
# copy of the committed seed corpus, which therefore never grows. Prints the number of inputs run;
# fails on a crash, a leak or a failed check, leaving the input in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${KELDAR_FUZZ_SECONDS:-60}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target keldar_fuzz_intelhex

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r fuzz/corpus/intelhex "$work/corpus"
mkdir -p build/fuzz/artifacts

status=0
./build/fuzz/fuzz/keldar_fuzz_intelhex -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix=build/fuzz/artifacts/ "$work/corpus" >"$work/log" 2>&1 || status=$?

runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")"
if [ "$status" -ne 0 ]; then
  tail -n 60 "$work/log"
  echo "fuzz intelhex: FAILED after ${runs:-?} inputs (exit $status)" >&2
  exit 1
fi
echo "fuzz intelhex: ${runs} inputs in ${seconds} s, no fault"
