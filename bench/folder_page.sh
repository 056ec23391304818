#!/usr/bin/env bash
# A folder of 100,000 entries (90,000 pages and 10,000 subfolders, no index.html): how long the
# generated folder page takes to make, and how long the viewer takes from start to that page
# loaded (median of 3).
#   bash bench/folder_page.sh [BUILD_DIR]     (default: build-bench, built Release here)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=${1:-$root/build-bench}
if [ -z "${1:-}" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target folioscope folder-page-bench >/dev/null
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
(cd "$folder" && python3 - <<'PY'
import os
for i in range(90000):
    open("page %d.html" % i, "w").close()
for i in range(10000):
    os.mkdir("folder %d" % i)
PY
)
echo "folder: $(ls -U "$folder" | wc -l) entries"
"$build/bench/folder-page-bench" "$folder" 5

if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build"; fi
times=()
for _ in 1 2 3; do
  log=$(mktemp)
  start=$(date +%s%N)
  (cd "$folder" && XDG_CONFIG_HOME="$folder.config" NO_AT_BRIDGE=1 G_MESSAGES_DEBUG=FOLIOSCP \
     ASAN_OPTIONS=detect_leaks=0 exec "$build/folioscope" >"$log" 2>&1) &
  pid=$!
  until grep -q "Load finished" "$log"; do sleep 0.01; done
  times+=($(( ($(date +%s%N) - start) / 1000000 )))
  kill -TERM "$pid"; wait "$pid" || true
  rm -rf "$log" "$folder.config"
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "viewer start -> folder page loaded: ${sorted[1]} ms (median of 3: ${times[*]})"
