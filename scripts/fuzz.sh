#!/usr/bin/env bash
# Runs every fuzz target of a fuzz-preset build for SECONDS each (default 60), one after the other.
# New inputs go to <build>/corpus/<target>, findings to <build>/findings/<target>-*; the seed corpus
# under fuzz/corpus/ is only read. Add a finding to fuzz/corpus/<target>/ once it is fixed.
# Usage: scripts/fuzz.sh BUILD_DIR [SECONDS] [TARGET...]
set -uo pipefail

build=${1:?usage: scripts/fuzz.sh BUILD_DIR [SECONDS] [TARGET...]}
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
source_dir=$(cd "$(dirname "$0")/.." && pwd)

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
  for seeds in "$source_dir"/fuzz/corpus/*/; do
    targets+=("$(basename "$seeds")")
  done
fi

failed=()
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  findings="$build/findings"
  mkdir -p "$work" "$findings"
  echo "== fuzz_$target for ${seconds} s"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/$target-" "$work" "$source_dir/fuzz/corpus/$target" \
      > "$build/fuzz-$target.log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|new_units_added)|^Done' "$build/fuzz-$target.log"
  else
    failed+=("$target")
    grep -E 'fuzz property failed|ERROR: |SUMMARY: |Test unit written' "$build/fuzz-$target.log"
  fi
done

if [[ ${#failed[@]} -ne 0 ]]; then
  echo "fuzzing found faults in: ${failed[*]} (logs: $build/fuzz-<target>.log)"
  exit 1
fi
echo "fuzzing found nothing in: ${targets[*]}"
