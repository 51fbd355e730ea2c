#!/usr/bin/env bash
# velapack.exe under Wine with Chinese file names everywhere: builds an
# installer from a GB2312 description, verifies it, extracts it into a
# Chinese folder and checks every item comes back byte for byte; then the
# same from a UTF-8 description, with the uninstaller line and a folder
# velapack adds itself.
#   wine-velapack.sh WINE-RUN VELAPACK.EXE VELAINSTALL.EXE
set -u
[ $# -eq 3 ] || { echo "usage: wine-velapack.sh WINE-RUN VELAPACK.EXE VELAINSTALL.EXE" >&2; exit 2; }
run=$1 exe=$2 stub=$3
"$run" --can-run "$exe" || exit 1   # the 32-bit Wine is missing: says so
work=$(mktemp -d "${TMPDIR:-/tmp}/velapack-wine.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL $*" >&2; status=1; }

src="$work/资料"
mkdir -p "$src" "$work/解包"
# A 2 × 2 24-bit picture (14-byte file header, 40-byte information header,
# two rows of 8 bytes), the kind the installer draws.
{
    printf 'BM\106\0\0\0\0\0\0\0\066\0\0\0\050\0\0\0\002\0\0\0\002\0\0\0\001\0\030\0'
    printf '\0\0\0\0\020\0\0\0\023\013\0\0\023\013\0\0\0\0\0\0\0\0\0\0'
    head -c 16 /dev/urandom
} >"$src/欢迎.bmp"
head -c 2048 /dev/urandom >"$src/程序.exe"
head -c 2047 /dev/urandom >"$src/说明.txt"
: >"$src/空.dat"
printf 'Terms\r\n' >"$src/许可.txt"
iconv -f UTF-8 -t GB2312 >"$src/安装.txt" <<'DESC'
name = 浮雕画家
folder = [Program Files]\浮雕画家
welcome-picture = 欢迎.bmp
licence = 许可.txt
group = 浮雕画家
shortcut = 浮雕画家 | [InstallDir]\程序.exe
run-caption = 现在运行吗？
run = [InstallDir]\程序.exe
directory = [InstallDir]
directory = [Start Menu]\浮雕画家
file = 1 | 程序.exe | [InstallDir]\程序.exe
file = 0 | 说明.txt | [InstallDir]\说明.txt
file = 0 | 空.dat | [InstallDir]\空.dat
DESC

"$run" "$exe" "Z:$src/安装.txt" --stub "Z:$stub" -o "Z:$work/安装程序.exe" || fail "build"
[ -f "$work/安装程序.exe" ] || fail "no installer under its Chinese name"
cmp -n "$(stat -c %s "$stub")" "$stub" "$work/安装程序.exe" || fail "the installer does not begin with the stub"
"$run" "$exe" --verify "Z:$work/安装程序.exe" || fail "verify"
"$run" "$exe" --extract "Z:$work/安装程序.exe" "Z:$work/解包" || fail "extract"
cmp "$src/欢迎.bmp" "$work/解包/welcome.bmp" || fail "welcome picture"
cmp "$src/程序.exe" "$work/解包/1-程序.exe" || fail "item 1"
cmp "$src/说明.txt" "$work/解包/2-说明.txt" || fail "item 2"
cmp "$src/空.dat" "$work/解包/3-空.dat" || fail "item 3"

# A missing file is refused with a message naming it, and no installer is written.
sed 's/说明.txt | /缺少.txt | /' <(iconv -f GB2312 -t UTF-8 "$src/安装.txt") | iconv -f UTF-8 -t GB2312 >"$src/坏.txt"
"$run" "$exe" "Z:$src/坏.txt" --stub "Z:$stub" -o "Z:$work/不应存在.exe" >"$work/bad.log" 2>&1 && fail "missing file accepted"
[ -e "$work/不应存在.exe" ] && fail "an installer was written for a bad description"
# The console's code page here is not 936: the message is UTF-8.
grep -q "缺少.txt" "$work/bad.log" || { fail "the message does not name the missing file in UTF-8"; cat "$work/bad.log" >&2; }

# So is the listing: the names in UTF-8, no GB2312 bytes of them.
"$run" "$exe" --list "Z:$work/安装程序.exe" >"$work/list.log" 2>&1 || fail "list"
grep -q "name: 浮雕画家" "$work/list.log" || { fail "the listing does not show the name in UTF-8"; cat "$work/list.log" >&2; }
grep -q "group: 浮雕画家" "$work/list.log" || fail "the listing does not show the group in UTF-8"
LC_ALL=C grep -q "$(printf '\270\241\265\361')" "$work/list.log" && fail "GB2312 bytes in the listing"

# --help prints the usage and succeeds.
"$run" "$exe" --help >"$work/help.log" 2>&1 || fail "--help failed"
grep -q "usage: velapack DESCRIPTION" "$work/help.log" || { fail "--help printed no usage"; cat "$work/help.log" >&2; }

# The same description saved in UTF-8 (with a byte-order mark) builds the same
# script; the uninstaller line adds VelaUnInsApp.exe and velapack adds the
# folder of a file that nothing lists.
printf 'MZ uninstaller' >"$src/卸载.exe"
head -c 100 /dev/urandom >"$src/图.bmp"
{
    printf '\357\273\277'
    iconv -f GB2312 -t UTF-8 "$src/安装.txt"
} >"$src/utf8.txt"
"$run" "$exe" "Z:$src/utf8.txt" --stub "Z:$stub" -o "Z:$work/utf8.exe" || fail "build from UTF-8"
mkdir -p "$work/utf8"
"$run" "$exe" --extract "Z:$work/utf8.exe" "Z:$work/utf8" || fail "extract the UTF-8 build"
cmp "$work/解包/setup.ini" "$work/utf8/setup.ini" || fail "a UTF-8 description gives another script"
{
    cat "$src/utf8.txt"
    printf 'uninstaller = 卸载.exe\nfile = 0 | 图.bmp | [InstallDir]\\图片\\图.bmp\n'
} >"$src/utf8-more.txt"
"$run" "$exe" "Z:$src/utf8-more.txt" --stub "Z:$stub" -o "Z:$work/more.exe" >"$work/more.log" 2>&1 ||
    { fail "build with the uninstaller"; cat "$work/more.log" >&2; }
mkdir -p "$work/more"
"$run" "$exe" --extract "Z:$work/more.exe" "Z:$work/more" || fail "extract the build with the uninstaller"
cmp "$src/图.bmp" "$work/more/4-图.bmp" || fail "item 4"
cmp "$src/卸载.exe" "$work/more/5-VelaUnInsApp.exe" || fail "the uninstaller"
iconv -f GB2312 -t UTF-8 "$work/more/setup.ini" | grep -q '^\[InstallDir\]\\图片'$'\r''$' ||
    fail "the folder of item 4 is not in [Directory]"

[ $status = 0 ] && echo "ok velapack.exe round trip with Chinese names"
exit $status
