#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, under
# a virtual X display when there is none.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/install-deps.sh"
# Every C++ file as .clang-format has it.
find "$root" -path "$root/build*" -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format-14 --dry-run --Werror
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug -DFOLIOSCOPE_TESTS=ON -DFOLIOSCOPE_SANITIZE=ON >/dev/null
cmake --build "$root/build-test" -j"$(nproc)"
run=(ctest --test-dir "$root/build-test" --output-on-failure "$@")
if [ -n "${DISPLAY:-}" ]; then
  "${run[@]}"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "${run[@]}"
fi
