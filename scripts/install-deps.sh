#!/usr/bin/env bash
# Installs the Debian 12 packages Pixdock needs to build, run, test and package; quiet when none
# is missing. `install-deps.sh --list [--with-optional]` prints the list instead (scripts/check-deps.sh
# reads it).
set -euo pipefail

# To build and run.
packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-webengine-dev
          qt6-image-formats-plugins libqt6sql6-sqlite libsqlite3-dev libgl1-mesa-dev
          libjpeg62-turbo-dev libexif-dev zlib1g-dev)
# To test: Qt's PDF module reads printed pages, sqlite3 plays the other program on db.fil,
# djpeg is a benchmark's anchor, PostgreSQL is the shared catalogue's server, Xvfb and Openbox
# give the journeys that need a real window manager one, GLib's own file URIs are what the
# thumbnail cache's names are checked against.
packages+=(qt6-pdf-dev sqlite3 libjpeg-turbo-progs postgresql-15 libqt6sql6-psql
           xvfb xauth openbox libglib2.0-dev)
# setpriv and useradd run the program as an ordinary user when the tests run as root.
packages+=(util-linux passwd)
# To package and validate what is installed; Qt's SVG module draws the icon at each size, gzip
# packs the manual page and the changelog.
packages+=(qt6-svg-dev gzip dpkg-dev desktop-file-utils appstream lintian)
# cloc counts the lines of code that `make test-share` weighs.
packages+=(cloc)
optional=(ccache)

if [ "${1:-}" = --list ]; then
    printf '%s\n' "${packages[@]}"
    [ "${2:-}" = --with-optional ] && printf '%s\n' "${optional[@]}"
    exit 0
fi

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
