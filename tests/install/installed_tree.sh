#!/usr/bin/env bash
# cmake --install into a temporary prefix, then check the tree the way a
# desktop, a package checker and a user see it.
set -euo pipefail
build="$1"
id="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/checks.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install failed"; }

expected=(
    bin/pennolux
    bin/pennolux-batch
    share/pennolux/license.txt
    share/pennolux/sample-list.txt
    share/pennolux/sample-badge.pnxt
    share/pennolux/sample-people.tsv
    share/pennolux/Languages/LanguageCodes.csv
    share/pennolux/Languages/delang.txt
    "share/applications/$id.desktop"
    "share/metainfo/$id.metainfo.xml"
    "share/icons/hicolor/scalable/apps/$id.svg"
    share/man/man1/pennolux.1.gz
    share/man/man1/pennolux-batch.1.gz
    share/bash-completion/completions/pennolux-batch
    share/doc/pennolux/copyright
    share/doc/pennolux/changelog.gz
    "share/mime/packages/$id.xml"
    share/icons/hicolor/scalable/mimetypes/application-x-pennolux-template.svg
)
for file in "${expected[@]}"; do
    [[ -f "$prefix/$file" ]] || fail "missing $file"
done
[[ "$(ls "$prefix/bin")" == $'pennolux\npennolux-batch' ]] || fail "bin/ holds more than the two programs: $(ls "$prefix/bin")"
grep -q "Copyright (c) 2026 Zantoph" "$prefix/share/pennolux/license.txt" || fail "license.txt lacks the copyright"
grep -q "^MIT License" "$prefix/share/pennolux/license.txt" || fail "license.txt is not the MIT licence"

# Icons: the PNG of each size, drawn at that size.
for size in 16 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [[ -f "$png" ]] || fail "missing the ${size} pixel icon"
    dimensions="$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$png")"
    [[ "$dimensions" == "${size}x${size}" ]] || fail "the ${size} pixel icon is $dimensions"
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "the desktop entry names another icon"
entry="$prefix/share/applications/$id.desktop"
grep -qx "Exec=pennolux %F" "$entry" || fail "the desktop entry does not hand the program its files"
grep -qx "StartupWMClass=pennolux" "$entry" || fail "the desktop entry names another window class"
grep -q "^MimeType=.*application/x-pennolux-template;" "$entry" || fail "the desktop entry does not open templates"
for language in de es fr it; do
    for key in GenericName Comment Keywords; do
        grep -q "^$key\[$language\]=" "$entry" || fail "the desktop entry has no $key[$language]"
    done
    grep -q "<summary xml:lang=\"$language\">" "$prefix/share/metainfo/$id.metainfo.xml" ||
        fail "the metainfo has no summary in $language"
done
gzip -dc "$prefix/share/doc/pennolux/changelog.gz" | head -n 1 | grep -q "^pennolux (" || fail "changelog.gz is no Debian changelog"

# A template is known by its name and by its first bytes once the MIME
# database holds the package's type.
mime="$work/mime"
cp -r /usr/share/mime "$mime"
cp "$prefix/share/mime/packages/$id.xml" "$mime/packages/"
update-mime-database "$mime" || fail "update-mime-database refused the template type"
grep -qx "50:application/x-pennolux-template:\*.pnxt" "$mime/globs2" || fail "*.pnxt is not a template in globs2"
grep -q "application/x-pennolux-template" "$mime/magic" || fail "a template's first bytes are not in the magic file"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo launches another desktop entry"

# Manual pages render without a warning, and name every option --help names.
help="$("$prefix/bin/pennolux-batch" --help)"
options="$(grep -oE -- '--[a-z][a-z-]+' <<<"$help" | sort -u)"
for page in pennolux pennolux-batch; do
    MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" >"$work/$page.txt" 2>"$work/$page.err" ||
        fail "man -l $page.1.gz"
    [[ ! -s "$work/$page.err" ]] || { cat "$work/$page.err"; fail "warnings in $page(1)"; }
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES; do
        grep -qx "$section" "$work/$page.txt" || fail "$page(1) has no $section section"
    done
done
for option in $options; do
    grep -qF -- "$option" "$work/pennolux-batch.txt" || fail "pennolux-batch(1) does not describe $option"
    grep -qF -- "$option" "$prefix/share/bash-completion/completions/pennolux-batch" ||
        fail "the completion does not offer $option"
done

# Completion as bash offers it.
complete_words() {
    bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        shift
        COMP_WORDS=("$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="${COMP_WORDS[*]}"
        COMP_POINT=${#COMP_LINE}
        _pennolux_batch
        printf "%s\n" "${COMPREPLY[@]}"
    ' completion "$prefix/share/bash-completion/completions/pennolux-batch" "$@"
}
if [[ -f /usr/share/bash-completion/bash_completion ]]; then
    [[ "$(complete_words pennolux-batch --format "" | tr '\n' ' ')" == "png webp jpeg tiff gif bmp " ]] ||
        fail "--format does not complete to the format names"
    complete_words pennolux-batch --back | grep -qx -- "--background" || fail "--back does not complete"
    complete_words pennolux-batch --color clSky | grep -qx "clSkyBlue" || fail "colour names do not complete"
    complete_words pennolux-batch --mani | grep -qx -- "--manifest" || fail "--mani does not complete"
    complete_words pennolux-batch --manifest "" | grep -qx -- "-" || fail "--manifest does not offer -"
    complete_words pennolux-batch --font Tah | grep -qx "Tahoma" || fail "--font does not offer Tahoma, the default"
else
    fail "bash-completion is not installed"
fi

run_sample_list "$prefix" "$work"
echo "installed tree checked under $prefix"
