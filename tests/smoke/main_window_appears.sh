#!/usr/bin/env bash
# Starts the real executable on the X server xvfb-run provides, waits for the
# window "Zantoph - Pennolux", and checks on a screenshot that the Simple page
# shows: its sky-blue colour swatch is the only patch of that colour.
set -uo pipefail
executable="$1"
work="$(mktemp -d)"
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$work"' EXIT

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$XDG_CONFIG_HOME"
unset QT_QPA_PLATFORM
"$executable" >"$work/log" 2>&1 &
pid=$!

window=""
for _ in $(seq 1 150); do
    window="$(xdotool search --onlyvisible --name '^Zantoph - Pennolux$' 2>/dev/null | head -n 1)"
    [[ -n "$window" ]] && break
    kill -0 "$pid" 2>/dev/null || { echo "pennolux exited early:"; cat "$work/log"; exit 1; }
    sleep 0.2
done
if [[ -z "$window" ]]; then
    echo "no window titled 'Zantoph - Pennolux' appeared"; cat "$work/log"; exit 1
fi
echo "window $window: $(xdotool getwindowname "$window")"

sleep 1
/usr/bin/import -window root "$work/screen.png"
swatch_pixels="$(/usr/bin/convert "$work/screen.png" -fill black +opaque 'rgb(166,202,240)' \
    -fill white -opaque 'rgb(166,202,240)' -colorspace gray -format '%[fx:round(mean*w*h)]' info:)"
echo "sky-blue pixels: $swatch_pixels"
if (( swatch_pixels < 23 * 23 )); then
    echo "the Simple page with its colour swatch is not shown"; exit 1
fi
if [[ -n "${PENNOLUX_SCREENSHOT:-}" ]]; then
    /usr/bin/import -window "$window" "$PENNOLUX_SCREENSHOT"
fi
echo "main window shown with the Simple page"
