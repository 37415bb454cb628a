#!/usr/bin/env bash
# cpack -G DEB from the build folder into a temporary folder, then check the
# package's control data and run the unpacked pennolux-batch. Nothing is
# installed into the system.
set -euo pipefail
build="$1"
id="$2"
version="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/checks.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb="$work/package/pennolux_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || { ls "$work/package"; fail "no $(basename "$deb")"; }

dpkg-deb -I "$deb" >"$work/info"
cat "$work/info"
grep -qx " Package: pennolux" "$work/info" || fail "package name"
grep -qx " Version: $version" "$work/info" || fail "package version"
depends="$(sed -n 's/^ Depends: //p' "$work/info")"
# Found by dpkg-shlibdeps in the binaries, and the run-time files they load.
for dependency in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libpng16-16 libdeflate0 libjpeg62-turbo \
    libgif7 libtiff6 libwebp7 libcurl4 zlib1g libicu72 libzip4 libexpat1 fonts-wine; do
    grep -qE "(^|, )$dependency( |,|$)" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done

dpkg-deb -c "$deb" >"$work/contents"
for file in ./usr/bin/pennolux ./usr/bin/pennolux-batch "./usr/share/applications/$id.desktop" \
    "./usr/share/metainfo/$id.metainfo.xml" ./usr/share/pennolux/license.txt ./usr/share/doc/pennolux/copyright; do
    grep -qE " $file\$" "$work/contents" || fail "the package lacks $file"
done
! grep -q " ./usr/local" "$work/contents" || fail "the package installs into /usr/local"

# As the distribution checks it; the few tags overridden are justified in
# the package's lintian overrides.
lintian --fail-on error,warning "$deb" || fail "lintian"

dpkg-deb -x "$deb" "$work/root"
bin_before="$(ls -la --time-style=+ "$work/root/usr/bin")"
run_sample_list "$work/root/usr" "$work"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" "$work/root/usr/bin/pennolux" --version >/dev/null ||
    fail "pennolux --version"
[[ "$(ls -la --time-style=+ "$work/root/usr/bin")" == "$bin_before" ]] ||
    fail "the installed programs wrote into their bin folder: $(ls "$work/root/usr/bin")"
echo "package $(basename "$deb") checked"
