#!/usr/bin/env bash
# Times installs under Wine, ours against NSIS, back to back:
#   payload A: 2,000 files, 200 MiB in all, in 40 folders;
#   payload B: one file of 500 MiB.
# Each payload is packed by velapack with the 32-bit stub VelaInstall.exe,
# and by makensis (SetCompress off) with CRCCheck on and off; the same
# folders and files. Each round runs, per payload:
#   ours-wizard     our wizard, from the click on Next on the install-path page
#                   to the completion page (the start-up, with its integrity
#                   check, lies before it);
#   ours-silent     Setup.exe /S /D=...: start to end, integrity check included;
#   ours-silent-nt  the same installer without its integrity trailer;
#   nsis            NSIS /S /D=..., start to end, with its CRC pass;
#   nsis-nocrc      the same, built with CRCCheck off;
#   copy            a plain copy of the payload tree (CopyFileW), for scale;
#   trailer         our integrity check of the installer alone (the stub's
#                   own code and file streams, no install);
# and, with RV_BENCH_BEFORE naming the VelaInstall.exe of an earlier build,
#   before-wizard, before-silent-nt   the same with that stub (without
#                   a trailer: the wizard checks it before the timing).
# Each run's folder is moved aside after it and deleted before the next run,
# outside the timing (ext4 here is slow to reuse inodes freed just before),
# and the disk is written (sync) before each timing.
# Prints each run and then the medians in ms, wall clock and the CPU time of
# the whole run (the driver, the installer and the wineserver; steadier on
# a shared machine), and ours / NSIS without CRC.
#
#   scripts/bench-install.sh [ROUNDS]        (default 5)
# Environment: RV_BENCH_DIR (payloads and installers, default
# build/bench-install), RV_BENCH_PAYLOADS ("A B"), RV_BENCH_KINDS (the kinds
# above, all by default), RV_BENCH_BEFORE (see above), RV_WINE_ROOT (the Wine
# prefix's folder, default /tmp/rv-wine-bench-install-UID).
# Needs NSIS (scripts/deps.sh bench). Uses the Windows build tree build/win
# (configured when it is missing) and builds there the driver, the stub and
# the native velapack it lacks.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-5}
build=$root/build/win
work=${RV_BENCH_DIR:-$root/build/bench-install}
payloads=${RV_BENCH_PAYLOADS:-A B}
export RV_WINE_ROOT=${RV_WINE_ROOT:-/tmp/rv-wine-bench-install-$(id -u)}

command -v makensis >/dev/null || { echo "bench-install: makensis is missing: scripts/deps.sh bench" >&2; exit 1; }
[ -d "$build" ] || cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
cmake --build "$build" -j2 --target install_bench_driver host_velapack VelaInstall >/dev/null
driver=$build/bin/install_bench_driver.exe
stub=$build/installer/wizard/VelaInstall.exe
velapack=$build/setup/host-velapack/tools/velapack/velapack
stub_size=$(stat -c %s "$stub")
mkdir -p "$work"

winpath() { echo "Z:$1" | tr / '\\'; }

# --- Payloads (the same bytes every time) ----------------------------------
make_payloads() {
    python3 - "$work" <<'EOF'
import os, random, sys
work = sys.argv[1]
def write(path, size, rng):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        left = size
        while left:
            n = min(left, 1 << 20)
            f.write(rng.randbytes(n))
            left -= n
# A: 40 folders of 50 files, 200 MiB in all; sizes from 0 bytes to 3.5 MiB,
# half below 48 KiB, 25 below the 2,048 bytes once copied byte by byte.
a = os.path.join(work, "payload-A")
if not os.path.exists(a + ".done"):
    rng = random.Random(15)
    weights = [rng.lognormvariate(0, 1.2) for _ in range(2000)]
    total = 200 << 20
    sizes = [int(w * total / sum(weights)) for w in weights]
    for i in range(0, 2000, 97): sizes[i] = rng.randrange(0, 2048)
    sizes[-1] += total - sum(sizes)
    for i, size in enumerate(sizes):
        write(os.path.join(a, "d%02d" % (i // 50), "f%04d.bin" % i), size, rng)
    open(a + ".done", "w").close()
b = os.path.join(work, "payload-B")
if not os.path.exists(b + ".done"):
    write(os.path.join(b, "big.bin"), 500 << 20, random.Random(16))
    open(b + ".done", "w").close()
EOF
}

# --- Installers --------------------------------------------------------------
make_installers() {
    local p=$1 src=$work/payload-$1 desc=$work/ours-$1.txt
    if [ ! -f "$work/ours-$p.exe" ] || [ "$stub" -nt "$work/ours-$p.exe" ] ||
        { [ -n "${RV_BENCH_BEFORE:-}" ] && [ ! "$work/before-$p-nt.exe" -nt "$RV_BENCH_BEFORE" ]; }; then
        {
            echo "name = Bench$p"
            echo "folder = [Program Files]\\Bench$p"
            echo "welcome-pages = no"
            echo "uninstall = no"
            echo "run-caption = Nothing"
            echo "run = [InstallDir]\\none.exe"
            (cd "$src" && find . -type f | LC_ALL=C sort) | while read -r f; do
                f=${f#./}
                echo "file = 0 | payload-$p/$f | [InstallDir]\\$(echo "$f" | tr / '\\')"
            done
        } >"$desc"
        "$velapack" "$desc" --stub "$stub" -o "$work/ours-$p.exe" >/dev/null
        # The same installer without its integrity trailer (the last 24 bytes).
        [ "$(tail -c 24 "$work/ours-$p.exe" | head -c 8)" = VELASUM1 ] ||
            { echo "bench-install: no integrity trailer at the end of ours-$p.exe" >&2; exit 1; }
        head -c -24 "$work/ours-$p.exe" >"$work/ours-$p-nt.exe"
        if [ -n "${RV_BENCH_BEFORE:-}" ]; then
            "$velapack" "$desc" --stub "$RV_BENCH_BEFORE" -o "$work/before-$p.exe" >/dev/null
            head -c -24 "$work/before-$p.exe" >"$work/before-$p-nt.exe"
            rm -f "$work/before-$p.exe"
        fi
    fi
    local crc
    for crc in on off; do
        local out=nsis-$p-crc$crc.exe
        [ -f "$work/$out" ] && continue
        cat >"$work/nsis-$p-crc$crc.nsi" <<EOF
Unicode true
Name "Bench$p"
OutFile "$out"
InstallDir "\$PROGRAMFILES\\Bench$p"
RequestExecutionLevel user
SetCompress off
CRCCheck $crc
Page directory
Page instfiles
Section
  SetOutPath "\$INSTDIR"
  File /r "payload-$p\\*"
SectionEnd
EOF
        (cd "$work" && makensis -V1 "nsis-$p-crc$crc.nsi" >/dev/null)
    done
}

echo "bench-install: payloads and installers in $work"
make_payloads
for p in $payloads; do make_installers "$p"; done

# --- One Wine session for every run ------------------------------------------
. "$root/tests/wine/wine-env.sh"
rv_wine_setup
rv_xvfb_start
trap rv_wine_cleanup EXIT
wineserver -p
# The installer writes its Uninstall entry under this key of the 32-bit view.
rv_wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:32 /f >/dev/null 2>&1
drive_c=$WINEPREFIX/drive_c
aside=$drive_c/bench-aside
mkdir -p "$drive_c/bench"

# The wineserver of our prefix: its folder is named after the prefix's
# device and inode.
server_dir=$(printf 'server-%x-%x' "$((16#$(stat -c %D "$WINEPREFIX")))" "$(stat -c %i "$WINEPREFIX")")
wineserver_pid=
for d in /proc/[0-9]*; do
    case "$(readlink "$d/cwd" 2>/dev/null)" in */"$server_dir") wineserver_pid=${d#/proc/}; break ;; esac
done
[ -n "$wineserver_pid" ] || { echo "bench-install: our wineserver is not found" >&2; exit 1; }

# Runs a Windows program and adds to its last line of output the CPU time
# (user and system) of the program, of every process it starts (Wine starts
# them as orphans: the runner adopts them as the reaper of its descendants)
# and of the wineserver meanwhile: cpu_all_ms.
cat >"$work/cpu-run.py" <<'EOF'
import ctypes, os, subprocess, sys, time
def ticks(pid):
    with open("/proc/%s/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])
ctypes.CDLL(None).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
server0 = ticks(sys.argv[1])
child = subprocess.Popen(sys.argv[2:], stdout=subprocess.PIPE)
out = child.stdout.read()
cpu = 0.0
done = False
deadline = None
while True:
    try:
        pid, status, usage = os.wait4(-1, 0 if not done else os.WNOHANG)
    except ChildProcessError:
        break
    if pid == 0:
        # Wine's own services may live on; what ended with the run is counted.
        if time.time() > deadline:
            break
        time.sleep(0.02)
        continue
    cpu += usage.ru_utime + usage.ru_stime
    if pid == child.pid:
        done = True
        deadline = time.time() + 1.0
server = (ticks(sys.argv[1]) - server0) / os.sysconf("SC_CLK_TCK")
lines = out.decode(errors="replace").strip().splitlines()
print("%s cpu_all_ms=%.0f" % (lines[-1] if lines else "", 1000 * (cpu + server)))
EOF
export RV_WINE32_MODE RV_WINE32_ROOT
export -f rv_wine rv_pe_bits
cpu_run() { python3 "$work/cpu-run.py" "$wineserver_pid" bash -c 'rv_wine "$@"' rv_wine "$@"; }

results=$work/results.txt
: >"$results"

# Checks an installed folder against its payload: the same files and bytes
# (our logs aside). Every run counts files and bytes; the first run of each
# kind compares every byte.
check_install() {
    local folder=$1 src=$2 full=$3
    local got want
    got=$(cd "$folder" && find . -type f ! -name '*dir.ini' ! -name '*file.ini' -printf '%s\n' | awk '{n++; s+=$1} END {print n, s}')
    want=$(cd "$src" && find . -type f -printf '%s\n' | awk '{n++; s+=$1} END {print n, s}')
    [ "$got" = "$want" ] || { echo "bench-install: $folder holds $got (files bytes), the payload $want" >&2; return 1; }
    [ "$full" = 1 ] || return 0
    diff -rq -x '*dir.ini' -x '*file.ini' "$src" "$folder" >/dev/null ||
        { echo "bench-install: $folder differs from its payload" >&2; return 1; }
}

run_one() {
    local round=$1 p=$2 kind=$3 folder=$drive_c/bench/$kind-$p line
    # The previous run's folder is gone, the disk written, before the timing.
    rm -rf "$aside"
    sync
    [ "$(df --output=avail -k "$drive_c" | tail -1)" -gt 1500000 ] ||
        { echo "bench-install: less than 1.5 GB free where the installs go" >&2; exit 1; }
    local target="C:\\bench\\$kind-$p"
    set +e
    case $kind in
        ours-wizard) line=$(cpu_run "$driver" wizard "$(winpath "$work/ours-$p.exe")" "$target") ;;
        ours-silent) line=$(cpu_run "$driver" run "$(winpath "$work/ours-$p.exe")" /S "/D=$target") ;;
        ours-silent-nt) line=$(cpu_run "$driver" run "$(winpath "$work/ours-$p-nt.exe")" /S "/D=$target") ;;
        before-wizard) line=$(cpu_run "$driver" wizard "$(winpath "$work/before-$p-nt.exe")" "$target") ;;
        before-silent-nt) line=$(cpu_run "$driver" run "$(winpath "$work/before-$p-nt.exe")" /S "/D=$target") ;;
        nsis) line=$(cpu_run "$driver" run "$(winpath "$work/nsis-$p-crcon.exe")" /S "/D=$target") ;;
        nsis-nocrc) line=$(cpu_run "$driver" run "$(winpath "$work/nsis-$p-crcoff.exe")" /S "/D=$target") ;;
        copy) line=$(cpu_run "$driver" copy "$(winpath "$work/payload-$p")" "$target") ;;
        trailer) line=$(cpu_run "$driver" trailer "$(winpath "$work/ours-$p.exe")" "$stub_size") ;;
    esac
    set -e
    case "$line" in *ok=1*) ;; *) echo "bench-install: $kind $p round $round failed: $line" >&2; exit 1 ;; esac
    if [ "$kind" != trailer ]; then
        check_install "$folder" "$work/payload-$p" "$([ "$round" = 1 ] && echo 1 || echo 0)" || exit 1
        # Aside at once (the payloads take room), deleted before the next run.
        mkdir -p "$aside"
        mv "$folder" "$aside/$kind-$p-$round"
    fi
    echo "$p $kind $round $line" | tee -a "$results"
}

kinds="ours-wizard ours-silent ours-silent-nt nsis nsis-nocrc copy trailer"
[ -n "${RV_BENCH_BEFORE:-}" ] && kinds="$kinds before-wizard before-silent-nt"
kinds=${RV_BENCH_KINDS:-$kinds}
for round in $(seq 1 "$rounds"); do
    for p in $payloads; do
        for kind in $kinds; do run_one "$round" "$p" "$kind"; done
    done
done
rm -rf "$drive_c/bench" "$aside"

# --- Medians -----------------------------------------------------------------
echo
echo "Medians of $rounds rounds: wall-clock ms, and CPU ms of the whole run (driver,"
echo "installer, wineserver); the ratios to NSIS without its CRC pass likewise."
for p in $payloads; do
    awk -v p="$p" -v kinds="$kinds" '
        function median(list,    n, a, i, j, t) {
            n = split(list, a, " ")
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] + 0 < a[i] + 0) { t = a[i]; a[i] = a[j]; a[j] = t }
            return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
        }
        $1 == p {
            for (i = 4; i <= NF; i++) {
                split($i, kv, "=")
                if (kv[1] == "wall_ms") wall[$2] = wall[$2] " " kv[2]
                if (kv[1] == "cpu_all_ms") cpu[$2] = cpu[$2] " " kv[2]
            }
        }
        END {
            printf "payload %s:                wall      CPU\n", p
            n = split(kinds, k, " ")
            base = median(wall["nsis-nocrc"]); basecpu = median(cpu["nsis-nocrc"])
            for (i = 1; i <= n; i++) {
                if (wall[k[i]] == "") continue
                w = median(wall[k[i]]); c = median(cpu[k[i]])
                printf "  %-17s %8.1f %8.1f", k[i], w, c
                if (k[i] ~ /^(ours|before)/ && base > 0 && basecpu > 0)
                    printf "   / nsis-nocrc: %.2f wall, %.2f CPU", w / base, c / basecpu
                printf "\n"
            }
        }' "$results"
done
