#!/usr/bin/env bash
# Installs the distribution packages that this machine lacks, with apt-get when run as root;
# otherwise names them and fails. The first argument names the caller in its messages.
#
#   scripts/need-packages.sh WHO PACKAGE...
set -euo pipefail
who=$1
shift
missing=()
for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "$who: missing packages: ${missing[*]}" >&2
    echo "$who: run as root (or install them) and try again" >&2
    exit 1
fi
echo "$who: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
