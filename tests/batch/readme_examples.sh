#!/usr/bin/env bash
# Runs the README's batch examples as they are written there, from a folder
# laid out as a checkout after scripts/run (build-run/bin and resources/), and
# checks that each folder an example makes holds one image per line of the
# sample list (the sample people's list has the same twelve records under its
# header), whatever the files are named, and that the sample template is the
# documented one.
# Usage: readme_examples.sh TOOL_DIR SOURCE_DIR
set -euo pipefail
tool_dir="$1"
source_dir="$2"
readme="$source_dir/README.md"
marker="<!-- run as written by tests/batch/readme_examples.sh -->"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME" "$work/checkout/build-run"
ln -s "$tool_dir" "$work/checkout/build-run/bin"
ln -s "$source_dir/resources" "$work/checkout/resources"
lines="$(grep -c . "$source_dir/resources/sample-list.txt")"

# The sample template is the documented example, which the format's tests
# write byte for byte.
awk '/^```json$/ { inside = 1; next } inside && /^```$/ { exit } inside { print }' \
    "$source_dir/docs/template-format.md" | cmp -s - "$source_dir/resources/sample-template.pnxt" ||
    fail "resources/sample-template.pnxt is not the example of docs/template-format.md"

blocks="$(awk -v marker="$marker" '
    index($0, marker) { found = 1; next }
    found && /^```/ { if (inside) { found = 0; inside = 0; print "\036"; next } inside = 1; next }
    found && inside { print }
' "$readme")"
[[ -n "$blocks" ]] || fail "the README holds no example after the marker"

count=0
while IFS= read -r -d $'\036' block; do
    [[ -n "${block//[$'\n ']/}" ]] || continue
    count=$((count + 1))
    (cd "$work/checkout" && bash -euo pipefail -c "$block" >/dev/null) || fail "example $count failed:$block"
    for folder in $(cd "$work/checkout" && bash -c "$(grep '^mkdir -p' <<<"$block" | sed 's/^mkdir -p/printf "%s\\n"/')"); do
        [[ "$folder" = /* ]] || folder="$work/checkout/$folder"
        made="$(find "$folder" -maxdepth 1 -type f ! -name '*.csv' | wc -l)"
        [[ "$made" -eq "$lines" ]] || fail "example $count left $made images in $folder, not $lines"
    done
done < <(printf '%s' "$blocks")
[[ "$count" -ge 2 ]] || fail "found $count examples, expected the template and the Simple ones"
echo "PASS: $count README examples ran as written"
