# Checks shared by the installed-tree and package tests; sourced.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# run_sample_list ROOT WORK: runs ROOT/bin/pennolux-batch from a folder of its
# own on the installed sample list and checks that it found its data files
# under ROOT/share/pennolux and made twelve images.
run_sample_list() {
    local root="$1" work="$2"
    local tool="$root/bin/pennolux-batch" data="$root/share/pennolux"
    mkdir -p "$work/run/images"
    (
        cd "$work/run"
        version="$("$tool" --version)" || fail "pennolux-batch --version failed"
        echo "$version"
        grep -qxF "Language files: $data/Languages" <<<"$version" ||
            fail "the language files were not found in $data/Languages"
        grep -qxF "Copyright (c) 2026 Zantoph, MIT licence: $data/license.txt" <<<"$version" ||
            fail "license.txt was not found in $data"
        saved="$("$tool" -q -o "$work/run/images" "$data/sample-list.txt")" || fail "the sample list run failed"
        [[ "$saved" == "Saved 12 image file(s)" ]] || fail "unexpected output: $saved"
        count="$(find "$work/run/images" -name 'Output*.png' | wc -l)"
        ((count == 12)) || fail "$count images instead of 12"
        [[ -s "$work/run/images/Output12.png" ]] || fail "Output12.png is missing or empty"
    )
}
