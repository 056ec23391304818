#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt that are not installed yet.
set -euo pipefail
list="$(dirname "$0")/debian-packages.txt"
mapfile -t packages < <(grep -v '^\s*\(#\|$\)' "$list")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
