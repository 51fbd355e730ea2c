#!/usr/bin/env bash
# What README.md names must be there, so that a renamed test, target or file
# cannot leave the README pointing at nothing:
#  - every GoogleTest test it quotes (`Suite.Case`) is defined in a source;
#  - every test, target or CMake function it quotes (a lower-case name with
#    an underscore, such as `version_info`; `fuzz_replay_*` for a family) is
#    defined in a CMakeLists.txt;
#  - every path of the source tree it quotes, links or gives in a command exists
#    (capitals stand for a value: fuzz/corpus/TARGET/ names fuzz/corpus;
#    result/ is where the main job writes, so nothing in it is checked);
#  - every folder of its Layout table exists, and every top-level folder of
#    the tree is in that table.
#   readme-names.sh SOURCE_ROOT
set -euf  # no globbing: the words read from the README hold * and [
root=${1:?usage: readme-names.sh SOURCE_ROOT}
readme=$root/README.md
status=0
fail() { echo "README.md $*" >&2; status=1; }
# Every folder at the top of the tree: of the files git tracks, or, outside a
# git checkout, every folder but the build and release output.
if ! top=$(git -C "$root" ls-files 2>/dev/null | sed -n 's#/.*##p' | sort -u) || [ -z "$top" ]; then
    top=$(cd "$root" && find . -mindepth 1 -maxdepth 1 -type d ! -name .git ! -name 'build*' ! -name dist | sed 's|^\./||' | sort)
fi
sources=$(find "$root" -path "$root/build*" -prune -o -name '*.cpp' -print)
lists=$(find "$root" -path "$root/build*" -prune -o -name CMakeLists.txt -print)
# The backticks are the README's own quoting, not a command.
# shellcheck disable=SC2016
quoted=$(grep -o '`[^`]*`' "$readme" | tr -d '`' | sort -u)
# Commands: the lines of the indented code blocks; and the links' targets.
commands=$(grep '^    [^ |]' "$readme" || true)
links=$(grep -o '\]([^)#:]*)' "$readme" | sed 's/^](//; s/)$//' || true)

tests=$(echo "$quoted" | grep -E '^[A-Z][A-Za-z0-9_]*\.[A-Z][A-Za-z0-9_]*$' || true)
for name in $tests; do
    # shellcheck disable=SC2086
    grep -qE "^TEST(_F|_P)?\(${name%%.*}, ${name#*.}\)" $sources || fail "names the test $name, which no test defines"
done

names=$(echo "$quoted" | grep -E '^[a-z][a-z0-9]*_[A-Za-z0-9_]*\*?$' || true)
for name in $names; do
    case $name in
        *'*') pattern=${name%\*} ;;
        *) pattern="$name([ )]|\$)" ;;
    esac
    # shellcheck disable=SC2086
    grep -qE "(NAME |\()$pattern" $lists || fail "names $name, which no CMakeLists.txt defines"
done

paths=0
for word in $(echo "$quoted"; echo "$commands"; echo "$links"); do
    word=${word#*=}
    first=${word%%/*}
    if [ "$first" = "$word" ] || [ -z "$first" ] || [ "$first" = result ]; then continue; fi
    echo "$top" | grep -qxF "$first" || continue
    # Up to the first component in capitals (a placeholder), without the last slash.
    path=$(echo "$word" | sed -E 's#/[A-Z][A-Z0-9_]+(/.*)?$##; s#/$##')
    paths=$((paths + 1))
    [ -e "$root/$path" ] || fail "names $word, which is not in the tree"
done

# The Layout table: from its heading to the next one, the first cells' names.
# shellcheck disable=SC2016
layout=$(sed -n '/^## Layout/,/^## /p' "$readme" | grep '^| `' | cut -d'|' -f2 | grep -o '`[^`]*`' | tr -d '`' || true)
for folder in $layout; do
    [ -d "$root/$folder" ] || fail "Layout lists $folder, which is no folder of the tree"
done
for folder in $top; do
    echo "$layout" | sed 's#/.*##' | grep -qxF "$folder" || fail "Layout does not list the folder $folder"
done

# A README whose quoting changed must not pass by naming nothing.
[ -n "$tests" ] || fail "quotes no GoogleTest test (Suite.Case)"
[ -n "$names" ] || fail "quotes no test or target name"
[ "$paths" -gt 0 ] || fail "names no path of the tree"
[ -n "$layout" ] || fail "has no Layout table"
[ $status = 0 ] && echo "README.md: $(echo "$tests" | wc -l) tests, $(echo "$names" | wc -l) test and target names, $paths paths and $(echo "$layout" | wc -l) Layout folders checked"
exit $status
