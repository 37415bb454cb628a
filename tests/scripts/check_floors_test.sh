#!/usr/bin/env bash
# scripts/check-floors passes on the tree as it is, and fails on a copy of it
# with an include that climbs a floor, with a widget included below the
# widgets, and with a link that no include needs.
# Usage: check_floors_test.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
check="$source_dir/scripts/check-floors"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

"$check" "$source_dir" >/dev/null || { echo "FAIL: the tree itself does not keep its floors" >&2; exit 1; }

expect_fault() {
    local what="$1" file="$2" line="$3" wanted="$4"
    rm -rf "$work/copy" && mkdir "$work/copy" && cp -r "$source_dir/src" "$work/copy/"
    printf '%s\n' "$line" >> "$work/copy/src/$file"
    if output="$("$check" "$work/copy" 2>&1)"; then
        echo "FAIL: $what passed the check" >&2
        exit 1
    fi
    grep -qF "$wanted" <<<"$output" || { echo "FAIL: $what: the check said: $output" >&2; exit 1; }
}
expect_fault "platform including the window" platform/AppError.cpp '#include "ui/TAppForm.h"' \
    "ui is not on a floor below platform"
expect_fault "the batch tool including the window" batch/BatchOptions.cpp '#include "ui/TAppForm.h"' \
    "code without widgets includes a widgets header"
expect_fault "the editor model including a widget" editor/model/Template.cpp \
    '#include "platform/widgets/ColorSwatch.h"' "code without widgets includes a widgets header"
expect_fault "localisation linking the editor" localisation/CMakeLists.txt \
    'target_link_libraries(pennolux_localisation PUBLIC pennolux_production)' "which none of its includes needs"
echo "PASS: check-floors keeps the floors"
