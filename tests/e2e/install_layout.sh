#!/usr/bin/env bash
# `cmake --install` into a temporary prefix puts the command, the window's executable (with the
# program's private executables), the desktop entry and the AppStream metadata under the
# application's id, the icon at the usual sizes, the man page, the guide and the licence where the
# desktop, software centres and man(1) look for them. The desktop entry and the metadata validate,
# and (with a display) the entry's command shows the folder it is handed, from the installed
# window, which takes the installed page-process module.
set -euo pipefail
build=$1
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
id=org.folioscope.folioscope
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
doc=share/doc/folioscope
window=libexec/folioscope/folioscope-window
expect=(bin/folioscope "$window" "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" share/man/man1/folioscope.1
        "$doc/LICENSE" share/folioscope/screenshots/guide.png)
for size in 16 24 32 48 64 128 256; do expect+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for page in "$source_dir"/guide/*; do expect+=("$doc/guide/$(basename "$page")"); done
for f in "${expect[@]}"; do
  [ -f "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
for f in bin/folioscope "$window"; do [ -x "$prefix/$f" ] || { echo "not executable: $f"; exit 1; }; done
cmp -s "$prefix/$doc/LICENSE" /usr/share/common-licenses/GPL-3 || { echo "LICENSE is not the GPL-3 text"; exit 1; }

entry="$prefix/share/applications/$id.desktop"
desktop-file-validate "$entry"
grep -qx "Icon=$id" "$entry"
grep -qx 'MimeType=inode/directory;' "$entry"
# Grouped with documentation viewers, and matched to its window (GTK's class: the program's name
# with a capital letter).
grep -qx 'Categories=Documentation;Utility;' "$entry"
grep -qx 'StartupWMClass=Folioscope' "$entry"
grep -q '^Keywords=.*documentation;' "$entry"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || { echo "$report"; exit 1; }
if grep -qE '^[EWIP]:' <<<"$report"; then echo "$report"; exit 1; fi
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo"
grep -q '<release version="3.4"' "$metainfo"
grep -q '<developer_name>' "$metainfo"

# The entry's command on a folder with a space in its name: the folder's start page shows.
if [ -n "${DISPLAY:-}" ]; then
  folder="$prefix/some docs"
  mkdir "$folder"
  echo '<title>Docs</title>' >"$folder/index.html"
  read -ra words <<<"$(sed -n 's/^Exec=//p' "$entry")"
  argv=()
  for word in "${words[@]}"; do
    case $word in
      folioscope) argv+=("$prefix/bin/folioscope") ;;
      %f) argv+=("$folder") ;;
      *) argv+=("$word") ;;
    esac
  done
  log="$prefix/log"
  shown="Load finished: file://$prefix/some docs/index.html"
  (cd / && XDG_CONFIG_HOME="$prefix/config" NO_AT_BRIDGE=1 G_MESSAGES_DEBUG=FOLIOSCP ASAN_OPTIONS=detect_leaks=0 \
    exec "${argv[@]}" >"$log" 2>&1) &
  pid=$!
  for _ in $(seq 300); do grep -q "$shown" "$log" && break; sleep 0.1; done
  # The window's class is the one the entry names, so the desktop ties the window to the entry.
  classes=$(for w in $(xdotool search --pid "$pid" 2>/dev/null); do xprop -id "$w" WM_CLASS; done |
    sed -n 's/.*", "\(.*\)"$/\1/p' | sort -u)
  grep -qx "$(sed -n 's/^StartupWMClass=//p' "$entry")" <<<"$classes" || { echo "window classes: $classes"; exit 1; }
  # The installed window runs in the command's process, under the command's name, with the
  # installed page-process module.
  [ "$(readlink "/proc/$pid/exe")" = "$prefix/$window" ] || { echo "running: $(readlink "/proc/$pid/exe")"; exit 1; }
  [ "$(cat "/proc/$pid/comm")" = folioscope ] || { echo "process name: $(cat "/proc/$pid/comm")"; exit 1; }
  grep -q "Page-process module from $prefix/lib" "$log" || { cat "$log"; exit 1; }
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  grep -q "$shown" "$log" || { cat "$log"; exit 1; }
  [ "$status" = 0 ] || { echo "exit status $status"; exit 1; }
  echo "desktop entry's command showed the folder"
fi

# The module the engine loads into page processes, built without the sanitizers even in their build.
module=$(ls "$prefix"/lib*/folioscope/web-extensions/*.so 2>/dev/null || true)
[ -n "$module" ] || { echo "missing: the page-process module under lib/folioscope/web-extensions"; exit 1; }
! ldd "$module" | grep -q libasan || { echo "the page-process module uses AddressSanitizer"; exit 1; }
echo "installed: ${#expect[@]} files"
