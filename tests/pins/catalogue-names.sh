#!/usr/bin/env bash
# Every test the bad-input catalogue names must exist: a row that points at a
# test folded into another or renamed no longer shows anything.
#   catalogue-names.sh SOURCE_ROOT
set -eu
root=${1:?usage: catalogue-names.sh SOURCE_ROOT}
catalogue=$root/docs/bad-input.md
# The test sources, build folders left out.
sources=$(find "$root" -path "$root/build" -prune -o -name '*.cpp' -print)
# The backticks are the catalogue's own quoting, not a command.
# shellcheck disable=SC2016
names=$(grep -o '`[A-Z][A-Za-z0-9_]*\.[A-Z][A-Za-z0-9_]*`' "$catalogue" | tr -d '`' | grep -vx 'Suite\.Case' | sort -u)
[ -n "$names" ] || { echo "no test names found in $catalogue" >&2; exit 1; }
missing=0
for name in $names; do
    suite=${name%%.*}
    case=${name#*.}
    # shellcheck disable=SC2086
    if ! grep -qE "^TEST(_F|_P)?\($suite, $case\)" $sources; then
        echo "docs/bad-input.md names $name, which no test defines" >&2
        missing=1
    fi
done
[ $missing = 0 ] && echo "every one of the $(echo "$names" | wc -l) tests the catalogue names exists"
exit $missing
