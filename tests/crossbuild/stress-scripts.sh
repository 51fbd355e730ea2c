#!/usr/bin/env bash
# Writes the gesture scripts that put the painting arithmetic on its
# boundaries into FOLDER, one file each (the names cases.txt gives):
#   lasso-{shallow,steep}-{falling,rising}-{forward,reverse}.txt
#       a lasso triangle for every slope 1/1 to 1/64 (steep: 64/1 to 1/1),
#       its long edge drawn in either direction, a gradient rectangle inside
#   ellipses.txt          hollow and filled ellipses of every box size from
#                         0 to 44, so whole and half radii
#   gradient-circles.txt  gradient circles of radius 1 to 39, released on an
#                         axis, off it and on a 3-4-5 diagonal, each with its
#                         own ramp
#   brush-widths.txt      brush, pencil and soft eraser at every width 1 to 100
#   stress-scripts.sh FOLDER
set -eu
out=$1
mkdir -p "$out"

# Presses and releases: press X Y = move, down, up at one point.
press() { printf 'move %d %d\ndown %d %d\nup %d %d\n' "$1" "$2" "$1" "$2" "$1" "$2"; }

# One lasso triangle A, B, C (in this order), closed at A, a gradient rectangle
# from A to B inside it, then the region cleared.
triangle() {
    local ax=$1 ay=$2 bx=$3 by=$4 cx=$5 cy=$6 clear_x=$7 clear_y=$8
    echo "tool lasso"
    press "$ax" "$ay"; press "$bx" "$by"; press "$cx" "$cy"; press "$ax" "$ay"
    echo "tool gradient-rect"
    printf 'down %d %d\nmove %d %d\nup %d %d\n' "$ax" "$ay" "$bx" "$by" "$bx" "$by"
    echo "tool lasso"
    press "$clear_x" "$clear_y"
}

# lasso SLOPE-KIND FALL-OR-RISE DIRECTION: 64 triangles in strips of 50 pixels.
# The long edge runs d rows over k × d columns (slope 1/k), d = min(40, 640 / k).
lasso() {
    local kind=$1 sense=$2 direction=$3 k d top ax ay bx by cx cy
    for k in $(seq 1 64); do
        d=$((640 / k)); [ $d -gt 40 ] && d=40
        top=$((10 + 50 * (k - 1)))
        echo "panel curve $(((k * 3) % 201))"
        echo "panel value $((k * 3))"
        if [ "$sense" = falling ]; then
            ax=20 ay=$top bx=$((20 + k * d)) by=$((top + d)) cx=20 cy=$((top + 45))
        else
            ax=20 ay=$((top + 45)) bx=$((20 + k * d)) by=$((top + 45 - d)) cx=20 cy=$top
        fi
        # Steep: the same figure with columns and rows exchanged.
        if [ "$kind" = steep ]; then
            local t
            t=$ax; ax=$ay; ay=$t; t=$bx; bx=$by; by=$t; t=$cx; cx=$cy; cy=$t
        fi
        if [ "$direction" = forward ]; then
            triangle "$ax" "$ay" "$bx" "$by" "$cx" "$cy" 5 5
        else
            # A, C, B: the long edge is drawn from B back to A.
            triangle "$ax" "$ay" "$cx" "$cy" "$bx" "$by" 5 5
        fi
    done
}

for kind in shallow steep; do
    for sense in falling rising; do
        for direction in forward reverse; do
            lasso "$kind" "$sense" "$direction" >"$out/lasso-$kind-$sense-$direction.txt"
        done
    done
done

# Ellipses: 225 cells of 46 pixels, box widths and heights 0 to 44 (an odd
# size gives a half-number semi-axis), hollow and filled in turn.
{
    for i in $(seq 0 224); do
        w=$((i % 45)) h=$(((i * 17) % 45))
        x=$((2 + (i % 15) * 46)) y=$((2 + (i / 15) * 46))
        if [ $((i % 2)) = 0 ]; then echo "tool ellipse"; else echo "tool filled-ellipse"; fi
        echo "panel value $(((i * 7) % 256))"
        # Dragged from either corner.
        if [ $((i % 4)) -lt 2 ]; then
            printf 'down %d %d\nmove %d %d\nup %d %d\n' $x $y $((x + w)) $((y + h)) $((x + w)) $((y + h))
        else
            printf 'down %d %d\nmove %d %d\nup %d %d\n' $((x + w)) $((y + h)) $x $y $x $y
        fi
    done
} >"$out/ellipses.txt"

# Gradient circles: 100 cells of 80 pixels, radius 1 to 39 (odd radii put the
# ramp's middle on a half pixel), each with its own curve, levels and family.
{
    echo "tool gradient-circle"
    for i in $(seq 0 99); do
        r=$((1 + i % 39))
        x=$((40 + (i % 10) * 80)) y=$((40 + (i / 10) * 80))
        case $((i % 3)) in
        0) dx=$r dy=0 ;;             # on the axis: the radius exactly
        1) dx=$r dy=1 ;;             # off it: the distance truncated
        2) dx=$((r * 3 / 5)) dy=$((r * 4 / 5)) ;;
        esac
        echo "panel curve $(((i * 7) % 201))"
        echo "panel c1 $((10 + (i * 13) % 231))"
        echo "panel c2 $(((i * 29) % 241))"
        if [ $((i % 2)) = 0 ]; then echo "panel family black"; else echo "panel family blue"; fi
        printf 'down %d %d\nmove %d %d\nup %d %d\n' $x $y $((x + dx)) $((y + dy)) $((x + dx)) $((y + dy))
    done
} >"$out/gradient-circles.txt"

# Brush, pencil and soft eraser widths: 100 cells of 110 pixels.
{
    for w in $(seq 1 100); do
        x=$((55 + ((w - 1) % 10) * 110)) y=$((55 + ((w - 1) / 10) * 110))
        echo "panel pen-width $w"
        echo "panel curve $(((w * 2) % 201))"
        echo "panel value $((w * 2))"
        echo "tool brush"
        printf 'down %d %d\nmove %d %d\nmove %d %d\nup %d %d\n' $x $y $((x + 1)) $y $((x + 3)) $((y + 2)) $((x + 3)) $((y + 2))
        echo "tool pencil"
        printf 'down %d %d\nmove %d %d\nmove %d %d\nup %d %d\n' $((x - 40)) $((y + 30)) $((x - 10)) $((y + 41)) \
            $((x + 40)) $((y + 44)) $((x + 40)) $((y + 44))
        echo "tool eraser"
        echo "panel eraser-kind soft"
        echo "panel eraser-width $((2 + (w * 3) % 299))"
        printf 'down %d %d\nmove %d %d\nup %d %d\n' $((x + 7)) $((y - 5)) $((x + 9)) $((y - 4)) $((x + 9)) $((y - 4))
    done
} >"$out/brush-widths.txt"
