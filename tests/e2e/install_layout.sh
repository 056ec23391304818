#!/usr/bin/env bash
# `cmake --install` into a temporary prefix puts the binary, the desktop entry, the icon at the
# usual sizes and the man page where the desktop and man(1) look for them, and the page-process
# module where the installed binary looks for it.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
expect=(bin/folioscope share/applications/folioscope.desktop share/man/man1/folioscope.1)
for size in 16 24 32 48 64 128 256; do expect+=("share/icons/hicolor/${size}x${size}/apps/folioscope.png"); done
for f in "${expect[@]}"; do
  [ -f "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
[ -x "$prefix/bin/folioscope" ] || { echo "not executable: bin/folioscope"; exit 1; }
# The module the engine loads into page processes, built without the sanitizers even in their build.
module=$(ls "$prefix"/lib*/folioscope/web-extensions/*.so 2>/dev/null || true)
[ -n "$module" ] || { echo "missing: the page-process module under lib/folioscope/web-extensions"; exit 1; }
! ldd "$module" | grep -q libasan || { echo "the page-process module uses AddressSanitizer"; exit 1; }
grep -q '^Exec=folioscope' "$prefix/share/applications/folioscope.desktop"
grep -q '^Icon=folioscope$' "$prefix/share/applications/folioscope.desktop"
echo "installed: ${#expect[@]} files"
