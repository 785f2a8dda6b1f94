#!/usr/bin/env bash
# Renders the same meters with the meterctl of two builds and says which pictures differ, so
# that a change meant to leave the look alone (a faster repaint, say) can be shown to keep
# every pixel. Both builds must use the same Qt: PNG files of equal pixels are then equal
# byte for byte.
#
#   scripts/compare-renders.sh OLD_BIN_DIR NEW_BIN_DIR [OUT_DIR]
#
# The meters: needle, arc and pie, every needle style, one and two channels, six values each,
# at 259x161 pixels. Exit status 0 when all pictures are equal, 1 when some differ, 2 on a
# usage or set-up error. The pictures stay in OUT_DIR (a new temporary folder by default).
set -euo pipefail

if [ $# -lt 2 ] || [ ! -x "$1/meterctl" ] || [ ! -x "$2/meterctl" ]; then
    echo "usage: $0 OLD_BIN_DIR NEW_BIN_DIR [OUT_DIR] (each holding meterctl)" >&2
    exit 2
fi
old=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
out=${3:-$(mktemp -d "${TMPDIR:-/tmp}/renders.XXXXXX")}
mkdir -p "$out/old" "$out/new"
export QT_QPA_PLATFORM=offscreen

render_all() { # BIN_DIR SIDE
    local bin=$1 side=$2 dir="$out/$2"
    export BRISORA_REGISTRY="$out/registry-$side.json"
    "$bin/meterctl" register >/dev/null 2>&1 || { echo "$side: meterctl register failed" >&2; exit 2; }
    for type in 0 1 2; do
        for style in 0 1 2 3 4 5; do
            for channels in 1 2; do
                local name="t$type-s$style-c$channels"
                "$bin/meterctl" save "$dir/$name.SER" --size 259x161 MeterType=$type \
                    MeterNeedleStyle=$style MeterNumChannels=$channels >/dev/null 2>&1
                for value in 0 1.37 3.3 5 7.77 9.99; do
                    local other
                    other=$(awk -v v="$value" 'BEGIN { print 10 - v }')
                    "$bin/meterctl" render "$dir/$name.SER" "$dir/$name-v$value.png" \
                        --size 259x161 --value "$value" --value "$other" >/dev/null 2>&1
                done
            done
        done
    done
}

render_all "$old" old
render_all "$new" new

total=0
differ=0
for picture in "$out"/old/*.png; do
    name=$(basename "$picture")
    total=$((total + 1))
    if ! cmp -s "$picture" "$out/new/$name"; then
        differ=$((differ + 1))
        echo "differs: $name"
    fi
done
if [ "$total" -eq 0 ]; then
    echo "no pictures were rendered (see $out)" >&2
    exit 2
fi
echo "$differ of $total pictures differ (pictures in $out)"
[ "$differ" -eq 0 ]
