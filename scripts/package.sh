#!/usr/bin/env bash
# package.sh TREE: makes the Debian package of a built tree of the package preset with CPack, checks
# it with lintian (any error or warning fails) and prints the package's path.
set -euo pipefail

tree=$(cd "$1" && pwd)
rm -f "$tree"/quedrix_*.deb
if ! (cd "$tree" && cpack -G DEB >cpack.log 2>&1); then
    cat "$tree/cpack.log" >&2
    exit 1
fi
deb=$(ls "$tree"/quedrix_*.deb)
lintian --fail-on error,warning "$deb" >&2
echo "$deb"
