#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a while on its seed corpus
# (fuzz/corpus/<target>, read only; what the run finds goes to a scratch corpus under the build).
#   tools/fuzz.sh [seconds per target, default 5] [target ...]
# A crash, a failed check or a hang (over 10 s for one input) fails the run and leaves the input
# in build-fuzz/findings.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-5}"
shift || true
build="$root/build-fuzz"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings_text command_line start_page search_query page_text)
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}" >/dev/null
mkdir -p "$build/findings"
for target in "${targets[@]}"; do
  scratch="$build/corpus/$target"
  mkdir -p "$scratch"
  echo "== fuzz_$target: $seconds s"
  status=0
  "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" "$scratch" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1 ||
    status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|SUMMARY|artifact_prefix|Test unit written|==[0-9]+==ERROR)' \
    "$build/$target.log" || true
  if [ "$status" -ne 0 ]; then
    tail -40 "$build/$target.log"
    exit "$status"
  fi
done
