#!/usr/bin/env bash
# Installs the Debian 12 packages Pixdock needs to build, run and test; quiet when none is missing.
set -euo pipefail

packages=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools qt6-tools-dev
          qt6-tools-dev-tools qt6-webengine-dev libqt6sql6-sqlite qt6-image-formats-plugins
          libsqlite3-dev libgl1-mesa-dev sqlite3 libjpeg-turbo-progs)
optional=(ccache)

missing=()
for p in "${packages[@]}" "${optional[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
for p in "${optional[@]}"; do
    if [[ " ${missing[*]} " == *" $p "* ]] && ! apt-cache show "$p" >/dev/null 2>&1; then
        missing=("${missing[@]/$p}")
    fi
done
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends ${missing[*]}
