#!/usr/bin/env bash
# Runs the examples of pennolux-batch(1) as they are written there, one after
# another in one shell (the pieces recipes share their variables), in a folder
# that holds the files they name: list.txt, people.tsv, badge.pnxt,
# contacts.csv, addresses.txt and the installed samples, which come from the
# source tree. Each example must succeed and leave images where it says.
# Usage: man_examples.sh TOOL_DIR SOURCE_DIR
set -euo pipefail
tool_dir="$1"
source_dir="$2"
page="$source_dir/docs/man/pennolux-batch.1"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
command -v parallel >/dev/null || fail "GNU parallel is not installed (scripts/test-packages.txt)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" PATH="$tool_dir:$PATH"
mkdir -p "$HOME" "$work/run"
resources="$source_dir/resources"
cp "$resources/sample-list.txt" "$work/run/list.txt"
cp "$resources/sample-people.tsv" "$work/run/people.tsv"
cp "$resources/sample-badge.pnxt" "$work/run/badge.pnxt"
awk '{ print "Person " NR "," $0 }' "$resources/sample-list.txt" >"$work/run/contacts.csv"
seq 1 3000 | sed 's/.*/user&@example.com/' >"$work/run/addresses.txt"

# The text between .EX and .EE, with the escapes the page uses read back.
examples="$(awk '/^\.EX$/ { inside = 1; next } /^\.EE$/ { inside = 0; print "\036"; next } inside { print }' "$page" |
    sed -e 's/\\-/-/g' -e 's/\\(aq/'"'"'/g' -e 's/\\(dq/"/g' -e 's/\\(rs/\\/g' -e 's/\\e/\\/g' \
        -e "s|/usr/share/pennolux/|$resources/|g")"
count=0
script=""
while IFS= read -r -d $'\036' block; do
    [[ -n "${block//[$'\n ']/}" ]] || continue
    count=$((count + 1))
    script+="$block"$'\n'
done < <(printf '%s' "$examples")
((count >= 6)) || fail "found $count examples in pennolux-batch(1)"
(cd "$work/run" && bash -euo pipefail -c "$script" >"$work/out.txt" 2>"$work/err.txt") ||
    { cat "$work/err.txt"; fail "the examples of pennolux-batch(1) failed"; }

lines="$(grep -c . "$resources/sample-list.txt")"
images() { find "$1" -maxdepth 1 -type f ! -name '*.csv' | wc -l; }
[[ "$(images "$HOME/Pictures/addresses")" -eq "$lines" ]] || fail "the GIF example left no $lines images"
[[ "$(find "$work/run" -maxdepth 1 -name 'Output*.png' | wc -l)" -eq "$lines" ]] || fail "the sample list example"
# Two examples write badges: the sample people twice over, once by number and once by address.
[[ "$(images "$work/run/badges")" -eq $((2 * lines)) ]] || fail "the badge examples left $(images "$work/run/badges") images"
[[ "$(images "$work/run/out")" -eq "$lines" ]] || fail "the standard-input example"
# Both recipes write the same list into one folder: the second one's files get " (2)" names.
[[ "$(images "$work/run/images")" -eq 6000 ]] || fail "the pieces recipes left $(images "$work/run/images") images"
[[ "$(wc -l <"$work/run/images.csv")" -eq 3001 ]] || fail "the merged manifest"
echo "PASS: $count examples of pennolux-batch(1) ran as written"
