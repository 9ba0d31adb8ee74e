#!/usr/bin/env bash
# Fails when a folder of src/ includes one on a higher floor (see docs/ARCHITECTURE.md):
#   platform  <  controls  <  ui  <  the subsystems  <  shell
# A subsystem never includes the program's top (shell/), and no two subsystems include each
# other: one of them uses the other, never both ways. The platform's own core
# (src/platform/*.cpp, *.h) includes no Qt at all.
set -euo pipefail
cd "$(dirname "$0")/.."
fail=0
report() { echo "layers: $1" >&2; fail=1; }

floor_of() {
    case "$1" in
        platform) echo 0 ;;
        controls) echo 1 ;;
        ui) echo 2 ;;
        shell) echo 4 ;;
        *.cpp | *.h) echo 5 ;; # src/main.cpp, the program's entry
        *) echo 3 ;;
    esac
}

declare -A uses=()
while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -n 's/.*#include "\([a-z]*\)\/.*/\1/p' <<<"$line")
    [ -n "$target" ] || continue
    from=$(cut -d/ -f2 <<<"$file")
    [ "$from" = "$target" ] && continue
    if [ "$(floor_of "$from")" -lt "$(floor_of "$target")" ]; then
        report "$file includes $target/ from a lower floor"
    elif [ "$(floor_of "$from")" -eq 3 ] && [ "$(floor_of "$target")" -eq 3 ]; then
        uses["$from>$target"]=$file
    fi
done < <(grep -rn '#include "[a-z]*/' src --include='*.cpp' --include='*.h')

for pair in "${!uses[@]}"; do
    from=${pair%%>*}
    target=${pair##*>}
    if [[ "$from" < "$target" ]] && [ -n "${uses["$target>$from"]:-}" ]; then
        report "$from/ and $target/ include each other (${uses[$pair]}, ${uses["$target>$from"]})"
    fi
done

while IFS= read -r line; do
    report "${line%%:*} includes Qt in the platform's core"
done < <(grep -ln '#include <Q' src/platform/*.cpp src/platform/*.h 2>/dev/null || true)

exit $fail
