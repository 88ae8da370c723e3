#!/usr/bin/env bash
# The folders depend one way: store -> core -> exchange -> skin -> windows (editing,
# search, web, print) -> app. Fails on any #include "folder/..." that points
# up or across that order, naming the file and line.
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2

allowed() {   # the folders a folder may include from
    case "$1" in
        store) echo "store" ;;
        core) echo "store core" ;;
        exchange) echo "store core exchange" ;;
        skin) echo "store core exchange skin" ;;
        editing|search|web|print) echo "store core exchange skin editing search web print" ;;
        app) echo "store core exchange skin editing search web print app" ;;
    esac
}

bad=0
checked=0
for folder in store core exchange skin editing search web print app; do
    ok=" $(allowed "$folder") "
    while IFS= read -r hit; do
        [ -n "$hit" ] || continue
        file=${hit%%:*}
        target=$(printf '%s' "$hit" | sed -E 's/.*#include "([a-z]+)\/.*/\1/')
        checked=$((checked + 1))
        case "$ok" in
            *" $target "*) ;;
            *) echo "layer breach: $hit"; bad=1 ;;
        esac
    done < <(grep -rnE '^#include "[a-z]+/' "$folder" --include='*.h' --include='*.cpp' 2>/dev/null)
done
[ "$checked" -gt 0 ] || { echo "no includes found under $root"; exit 2; }
[ "$bad" -eq 0 ] && echo "layers: $checked includes checked, all point down"
exit $bad
