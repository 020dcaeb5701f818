#!/usr/bin/env bash
# Fails when the build or the tests need a Debian package that scripts/install-deps.sh does not
# install. A package installed by hand on one machine would otherwise hide the missing step until
# a fresh machine meets it.
#
# What the build needs is read from a real configure: every package config CMake loaded
# (each find_package, each Qt component and what they load in turn), every library and program
# it found. What the tests need at run time (servers, tools, plug-ins) is listed below. Each file
# is traced to its Debian package with dpkg -S, and that package must be in the dependency
# closure of the install list.
#
# Usage: scripts/check-deps.sh [--packages "p1 p2 ..."]   (default: install-deps.sh --list)
set -euo pipefail
cd "$(dirname "$0")/.."

# Files and commands the tests and `make run` use without CMake finding them.
runtime=(
    cmd:sqlite3 cmd:djpeg cmd:xvfb-run cmd:Xvfb cmd:xauth cmd:openbox
    cmd:desktop-file-validate cmd:appstreamcli cmd:lintian cmd:dpkg-shlibdeps cmd:setpriv cmd:useradd cmd:cloc
    /usr/lib/postgresql/15/bin/initdb /usr/lib/postgresql/15/bin/pg_ctl
    /usr/share/postgresql/15/extension/pg_trgm.control
    qtplugin:sqldrivers/libqsqlite.so qtplugin:sqldrivers/libqsqlpsql.so
    qtplugin:imageformats/libqwebp.so qtplugin:imageformats/libqtiff.so
    qtplugin:platforms/libqoffscreen.so qtplugin:platforms/libqxcb.so
)

packages=""
if [ "${1:-}" = --packages ]; then
    packages="$2"
else
    packages=$(bash scripts/install-deps.sh --list --with-optional | tr '\n' ' ')
fi

# The closure: every package the list pulls in through Depends and Pre-Depends.
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
              --no-replaces --no-enhances $packages 2>/dev/null |
          grep -v '^ ' | tr -d '<>' | sed 's/:.*//' | sort -u)
if [ -z "$closure" ]; then
    echo "check-deps: apt-cache knows none of: $packages" >&2
    exit 1
fi

qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null ||
             echo /usr/lib/x86_64-linux-gnu/qt6/plugins)

failures=0
checked=0
# $1: a file; $2: why it is needed.
check_file() {
    local file=$1 why=$2 owners
    file=$(readlink -f "$file")
    # With the merged /usr, a package that ships /bin/gzip is found as /usr/bin/gzip.
    if ! owners=$(dpkg -S "$file" 2>/dev/null | grep -v '^diversion' | sed 's/: .*//;s/:[a-z0-9]*//g;s/,/ /g') &&
       ! { [ "${file#/usr/}" != "$file" ] &&
           owners=$(dpkg -S "${file#/usr}" 2>/dev/null | grep -v '^diversion' | sed 's/: .*//;s/:[a-z0-9]*//g;s/,/ /g'); }; then
        echo "check-deps: $why: $file belongs to no Debian package (installed by hand?)" >&2
        failures=$((failures + 1))
        return
    fi
    checked=$((checked + 1))
    for p in $owners; do
        grep -qx "$p" <<<"$closure" && return
    done
    echo "check-deps: $why: $file comes from '$owners', which scripts/install-deps.sh does not install" >&2
    failures=$((failures + 1))
}

# The build: configure a scratch tree and read what CMake found.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
if ! cmake -S . -B "$scratch" -G Ninja -DPIXDOCK_BUILD_BENCH=ON -DBUILD_TESTING=ON \
        >"$scratch.log" 2>&1; then
    cat "$scratch.log" >&2
    rm -f "$scratch.log"
    echo "check-deps: the project does not configure; a package is missing from the machine" >&2
    exit 1
fi
rm -f "$scratch.log"

while IFS='=' read -r key value; do
    name=${key%%:*}
    case "$key" in
        *_DIR:PATH)
            # A package config that find_package loaded.
            [ -d "$value" ] || continue
            config="$value/${name%_DIR}Config.cmake"
            [ -f "$config" ] || config=$(ls "$value"/*[Cc]onfig.cmake 2>/dev/null | head -n 1 || true)
            [ -n "$config" ] && check_file "$config" "find_package(${name%_DIR})"
            ;;
        GITCOMMAND:* | MEMORYCHECK_COMMAND:* | COVERAGE_COMMAND:* | OPENGL_glu_LIBRARY:*) ;;
            # CTest's dashboard tools, which neither the build nor the tests run, and GLU,
            # which FindOpenGL picks up when present but nothing here links.
        *:FILEPATH)
            # A library, header or program found by find_library, find_path or find_program.
            case "$value" in /usr/local/*) ;; /*) [ -f "$value" ] && check_file "$value" "$name" ;; esac
            ;;
    esac
done < <(grep -E '^[A-Za-z0-9_.+-]+:(PATH|FILEPATH)=' "$scratch/CMakeCache.txt")

# The tests and `make run`.
for item in "${runtime[@]}"; do
    case "$item" in
        cmd:*)
            path=$(command -v "${item#cmd:}" || true)
            if [ -z "$path" ]; then
                echo "check-deps: the command ${item#cmd:} is missing" >&2
                failures=$((failures + 1))
            else
                check_file "$path" "command ${item#cmd:}"
            fi
            ;;
        *)
            path=$item
            [ "${item#qtplugin:}" != "$item" ] && path="$qt_plugins/${item#qtplugin:}"
            if [ -e "$path" ]; then
                check_file "$path" "$item"
            else
                echo "check-deps: $path is missing" >&2
                failures=$((failures + 1))
            fi
            ;;
    esac
done

if [ "$failures" -gt 0 ]; then
    echo "check-deps: $failures needed file(s) not covered by scripts/install-deps.sh" >&2
    exit 1
fi
echo "check-deps: every one of $checked needed files comes from a package the install list pulls in"
