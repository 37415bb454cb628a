#!/usr/bin/env bash
# Runs the README's two recipes for splitting a list with GNU parallel, as
# they are written there, on a 10,000-line list in 4 pieces, and checks that
# they leave exactly the files and the manifest of one run over the whole
# list. Usage: parallel_recipe.sh TOOL_DIR README
set -euo pipefail
tool_dir="$1"
readme="$2"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
command -v parallel >/dev/null || fail "GNU parallel is not installed (scripts/test-packages.txt)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" PATH="$tool_dir:$PATH"
mkdir -p "$HOME"

# The fenced block that follows the line holding the marker.
recipe() {
    awk -v marker="$1" '
        index($0, marker) { found = 1; next }
        found && /^```/ { if (inside) exit; inside = 1; next }
        inside { print }
    ' "$readme"
}
ranges="$(recipe "<!-- tested by tests/batch/parallel_recipe.sh: the block below")"
pipe="$(recipe "<!-- tested by tests/batch/parallel_recipe.sh, with per=2500")"
[[ -n "$ranges" && -n "$pipe" ]] || fail "the README holds no recipe after the markers"
grep -q '^export per=100000$' <<<"$pipe" || fail "the standard-input recipe no longer sets per=100000"
pipe="${pipe/export per=100000/export per=2500}"

# E-mail-like lines, with texts a manifest has to quote.
list="$work/list.txt"
seq 1 10000 | awk '{
    if ($1 % 1000 == 7) print "Smith, John " $1
    else if ($1 % 1000 == 8) print "say \"" $1 "\""
    else print "user" $1 "@example.com"
}' >"$list"

mkdir "$work/one"
start=$(date +%s%N)
pennolux-batch --quiet -o "$work/one" --manifest "$work/one.csv" "$list"
echo "one run: $(( ($(date +%s%N) - start) / 1000000 )) ms (for information; speed is measured in bench/)"
expected="$(seq 1 10000 | sed 's/.*/Output&.png/')"
[[ "$(ls -v "$work/one")" == "$expected" ]] || fail "one run did not write Output1.png ... Output10000.png"

check() {
    local name="$1" out="$2" manifest="$3"
    [[ "$(ls -v "$out")" == "$expected" ]] || fail "$name: the folder does not hold exactly Output1.png ... Output10000.png"
    diff -rq "$work/one" "$out" >/dev/null || fail "$name: files differ from one run's"
    cmp -s "$work/one.csv" "$manifest" || fail "$name: the merged manifest differs from one run's"
    echo "$name: 10,000 files and the manifest equal one run's"
}

# A failing command of a recipe ends its subshell and, through set -e, this script.
for name in ranges pipe; do
    start=$(date +%s%N)
    (
        set -e
        cd "$work"
        list="$list" out="$work/$name" manifest="$work/$name.csv" pieces=4
        eval "${!name}"
    )
    echo "$name recipe, 4 pieces: $(( ($(date +%s%N) - start) / 1000000 )) ms"
    check "$name" "$work/$name" "$work/$name.csv"
done
