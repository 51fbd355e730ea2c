#!/usr/bin/env bash
# Times the stereogram generator against its floor (the plain pass), an
# earlier build's generator and the literal transform, and prints the table
# the README gives. The two builds' rv_stereo_bench run in turn, case by
# case, RUNS times three repetitions each, so that a shared machine's slow
# and fast spells fall on both alike; the literal transform runs once, five
# repetitions. Each figure is the median over the runs' medians (the plain
# pass: over both builds' runs).
#
#   scripts/bench-stereo.sh BEFORE_BENCH [RUNS]      (default 3)
# BEFORE_BENCH is the rv_stereo_bench of the earlier build, for instance
#   git worktree add /tmp/before HEAD~1 && cmake -S /tmp/before -B /tmp/before/build &&
#   cmake --build /tmp/before/build -j2 --target rv_stereo_bench
#   scripts/bench-stereo.sh /tmp/before/build/painter/stereo/rv_stereo_bench
# Environment: RV_BENCH_SIZES (default "3840/h:2160 800/h:600").
# Both sizes, three runs, take about 25 minutes; run it on an idle machine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
before=${1:?usage: scripts/bench-stereo.sh BEFORE_BENCH [RUNS]}
runs=${2:-3}
sizes=${RV_BENCH_SIZES:-3840/h:2160 800/h:600}
cmake -S "$root" -B "$root/build/native" > /dev/null
cmake --build "$root/build/native" -j2 --target rv_stereo_bench > /dev/null
now=$root/build/native/painter/stereo/rv_stereo_bench
out=$(mktemp)
trap 'rm -f "$out"' EXIT

# bench TAG PROGRAM FILTER REPETITIONS: appends "TAG name wall ms cpu ms ..."
# for each median.
bench() {
    "$2" --benchmark_filter="$3" --benchmark_repetitions="$4" --benchmark_report_aggregates_only=true |
        grep '_median' | sed "s|^|$1 |" >> "$out"
}
for size in $sizes; do
    for ((run = 1; run <= runs; ++run)); do
        for tag in before now; do
            program=$now
            [ "$tag" = before ] && program=$before
            echo "$size, run $run of $runs: $tag" >&2
            bench "$tag" "$program" "^BM_GenerateStereogram/w:$size/" 3
            bench "$tag" "$program" "^BM_StereogramFloor/w:$size/" 3
        done
    done
    bench literal "$now" "^BM_LiteralStereogram/w:$size/" 5
done

python3 - "$out" <<'EOF'
import collections, re, statistics, sys

times = collections.defaultdict(list)  # (tag, kind, w, h, period, feel, family, threads) -> [(wall, cpu)]
for line in open(sys.argv[1]):
    tag, name, wall, _, cpu = line.split()[:5]
    m = re.match(r'BM_(\w+)/w:(\d+)/h:(\d+)/period:(\d+)/feel:(\d+)/family:(\d)/threads:(\d)', name)
    times[(tag,) + m.groups()].append((float(wall), float(cpu)))

def median(*keys):
    runs = [t for key in keys for t in times[key]]
    return statistics.median(t[0] for t in runs), statistics.median(t[1] for t in runs)

def ms(t):
    return '%.3g (%.3g)' % t

print('| Case | plain pass, 1 / 2 threads | generator, 1 thread | generator, 2 threads | before, 1 / 2 threads '
      '| literal transform | generator ÷ plain pass | before ÷ plain pass | literal ÷ generator |')
print('|---|---|---|---|---|---|---|---|---|')
cases = sorted({key[2:7] for key in times if key[1] == 'GenerateStereogram'},
               key=lambda c: (-int(c[0]), int(c[2]), int(c[3]), c[4]))
for w, h, period, feel, family in cases:
    floor = [median(*((tag, 'StereogramFloor', w, h, period, '15', '2', threads) for tag in ('before', 'now')))
             for threads in ('1', '0')]
    made = [median(('now', 'GenerateStereogram', w, h, period, feel, family, t)) for t in ('1', '0')]
    was = [median(('before', 'GenerateStereogram', w, h, period, feel, family, t)) for t in ('1', '0')]
    literal = median(('literal', 'LiteralStereogram', w, h, period, feel, family, '1'))
    # one thread: CPU / CPU; two threads: wall / wall
    ratio = lambda a, b: '%.1f / %.1f' % (a[0][1] / b[0][1], a[1][0] / b[1][0])
    print('| %s×%s, period %s, feel %s, %s | %s / %s | %s | %s | %s / %s | %s | %s | %s | %.0f / %.0f |' % (
        w, h, period, feel, ('black', 'blue', 'both')[int(family)], ms(floor[0]), ms(floor[1]), ms(made[0]),
        ms(made[1]), ms(was[0]), ms(was[1]), ms(literal), ratio(made, floor), ratio(was, floor),
        literal[1] / made[0][1], literal[0] / made[1][0]))
EOF
