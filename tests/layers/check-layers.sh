#!/usr/bin/env bash
# The folders depend one way: store -> core -> exchange and skin (side by
# side, neither using the other) -> windows (editing, files, search,
# showing, table, web) -> app. Fails on any #include "folder/..." that points up or
# across that order, naming the file and line. One pass over every include.
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2

grep -rnE '^#include "[a-z]+/' store core exchange skin editing files search showing table web app \
    --include='*.h' --include='*.cpp' 2>/dev/null |
awk '
BEGIN {
    windows = "store core exchange skin editing files search showing table web"
    allowed["store"] = "store"
    allowed["core"] = "store core"
    allowed["exchange"] = "store core exchange"
    allowed["skin"] = "store core skin"
    allowed["editing"] = allowed["files"] = allowed["search"] = allowed["showing"] = allowed["table"] = allowed["web"] = windows
    allowed["app"] = windows " app"
}
{
    from = $0
    sub(/\/.*/, "", from)
    target = $0
    sub(/^[^"]*"/, "", target)
    sub(/\/.*/, "", target)
    checked++
    if (index(" " allowed[from] " ", " " target " ") == 0) {
        print "layer breach: " $0
        bad = 1
    }
}
END {
    if (checked == 0) {
        print "no includes found"
        exit 2
    }
    if (!bad)
        printf "layers: %d includes checked, all point down\n", checked
    exit bad
}'
