#!/usr/bin/env bash
# Fetches the distribution's source package PACKAGE (optionally at VERSION) into FOLDER,
# without unpacking it: the .dsc, the upstream tarball and the Debian changes.
#
#   scripts/fetch-source.sh PACKAGE FOLDER [VERSION]
#
# The machine's own source lists are never touched: apt reads a list of our own in FOLDER
# with one deb-src line for the archive the machine already uses (deb.debian.org when none is
# named), and keeps its package lists there too.
set -euo pipefail

package=$1
folder=$2
version=${3:-}

mkdir -p "$folder/lists/partial"
mirror=$(sed -n 's/^URIs: *\(http[^ ]*debian\)\/*$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
[ -n "$mirror" ] ||
    mirror=$(sed -n 's/^deb \(http[^ ]*debian\)\/* .*/\1/p' /etc/apt/sources.list 2>/dev/null | head -1)
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
{
    echo "deb-src ${mirror:-http://deb.debian.org/debian} $suite main"
    echo "deb-src ${mirror:-http://deb.debian.org/debian} $suite-updates main"
} >"$folder/sources.list"
apt_opts=(-o Dir::Etc::SourceList="$folder/sources.list" -o Dir::Etc::SourceParts=/nonexistent
          -o Dir::State::Lists="$folder/lists")
wanted=$package
[ -n "$version" ] && wanted="$package=$version"
(cd "$folder" && apt-get "${apt_opts[@]}" update -qq >/dev/null 2>&1 &&
    apt-get "${apt_opts[@]}" source --download-only -qq "$wanted" >/dev/null 2>&1) || {
    echo "fetch-source: cannot fetch the source package $wanted" >&2
    exit 1
}
