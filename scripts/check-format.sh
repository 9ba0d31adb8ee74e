#!/usr/bin/env bash
# Fails when a C++ file differs from the project's .clang-format style, naming the files, and
# when any tracked file still holds the markers of an unfinished merge.
# Fix the style with: git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1 &&
    unmerged=$(git grep -lE '^(<<<<<<<|>>>>>>>) ' -- . ':!*.t0?' 2>/dev/null); then
    echo "format: these files hold the markers of an unfinished merge:" >&2
    sed 's/^/  /' <<<"$unmerged" >&2
    exit 1
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tools tests bench -name '*.cpp' -o -name '*.h')
[ ${#files[@]} -eq 0 ] && exit 0
if ! out=$(clang-format --dry-run -Werror "${files[@]}" 2>&1); then
    echo "format: these files differ from .clang-format:" >&2
    grep -o '^[^:]*\.\(cpp\|h\):' <<<"$out" | sort -u | sed 's/:$//; s/^/  /' >&2
    exit 1
fi
