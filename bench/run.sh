#!/usr/bin/env bash
# Benchmark the viewer against a bare WebKitGTK window and, when they can be
# installed, surf and chromium --app; then a long session of navigations.
#   bash bench/run.sh [--no-peers] [more options of bench/measure.py]
# Builds a Release tree in build-bench/ at the repository root, installs the
# peers from Debian when missing (the project's own set-up does not), then runs
# bench/measure.py with Debian's python3.11-doc HTML as the document folder.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
self="$root/bench/run.sh"
folder="/usr/share/doc/python3.11/html"

# Both programs need an X server; start a private Xvfb when there is none.
if [ -z "${DISPLAY:-}" ]; then
    if [ -n "${FOLIOSCOPE_BENCH_XVFB:-}" ]; then
        echo "run.sh: xvfb-run gave no DISPLAY" >&2
        exit 1
    fi
    export FOLIOSCOPE_BENCH_XVFB=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$self" "$@"
fi

# Without a session bus GLib would autolaunch a private one on each program
# start, adding processes and start time that a desktop session does not
# have. Give the whole run one bus; the bus and the services it activates
# chatter on stdout/stderr, so they get /dev/null while this script gets its
# own streams back through fds 3 and 4.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ -z "${FOLIOSCOPE_BENCH_DBUS:-}" ] &&
   command -v dbus-run-session >/dev/null; then
    export FOLIOSCOPE_BENCH_DBUS=1
    exec 3>&1 4>&2
    exec dbus-run-session -- bash "$self" "$@" >/dev/null 2>&1
fi
if [ "${FOLIOSCOPE_BENCH_DBUS:-}" = 1 ]; then
    export FOLIOSCOPE_BENCH_DBUS=2
    exec 1>&3 2>&4 3>&- 4>&-
fi
export NO_AT_BRIDGE=1

if [ ! -f "$folder/index.html" ]; then
    echo "run.sh: $folder/index.html missing (apt-get install python3.11-doc)" >&2
    exit 1
fi

cd "$root"
mkdir -p build-bench

peers=(surf chromium)
case " $* " in *" --no-peers "*) peers=() ;; esac
missing=()
for p in "${peers[@]}"; do command -v "$p" >/dev/null || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing the peers from Debian: ${missing[*]} (log: build-bench/peers-install.log) ..."
    if ! { $sudo apt-get update -qq &&
           DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
               "${missing[@]}"; } >build-bench/peers-install.log 2>&1; then
        echo "run.sh: could not install ${missing[*]}; measuring without them" >&2
    fi
fi
log="build-bench/bench-build.log"
echo "Building Release into build-bench/ (log: $log) ..."
if ! { cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release &&
       cmake --build build-bench -j2 --target folioscope bare-webkit search-bench search-stall docs-search; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "run.sh: build failed" >&2
    exit 1
fi
echo

# The search part: no display needed, measured before the windows start.
bash "$root/bench/search.sh" "$folder"
echo

exec python3 "$root/bench/measure.py" \
    --viewer "$root/build-bench/folioscope" \
    --bare "$root/build-bench/bench/bare-webkit" \
    --folder "$folder" "$@"
