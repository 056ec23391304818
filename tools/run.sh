#!/usr/bin/env bash
# Builds the viewer and opens it on the bundled guide. Without a display it says so and shows the
# window under a virtual display instead, as a screenshot.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target folioscope
cd "$root/guide"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/build/folioscope" "$@"
fi
shot="$root/build/guide-screenshot.png"
echo "There is no display (DISPLAY is not set), so the window cannot be shown here."
echo "Showing it under a virtual display (Xvfb) for a few seconds and taking a screenshot instead..."
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  NO_AT_BRIDGE=1 "$0" "$@" & pid=$!
  sleep 6
  import -window root "'"$shot"'"
  kill -TERM $pid; wait $pid' "$root/build/folioscope" "$@"
echo "Screenshot: $shot"
echo "To use the viewer, run it on a desktop: cd guide && ../build/folioscope"
