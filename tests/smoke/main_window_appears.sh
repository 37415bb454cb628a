#!/usr/bin/env bash
# Starts the real executable on an X server of its own, waits for the window
# "Zantoph - Pennolux", and checks on a screenshot that the Simple page shows
# its sky-blue colour swatch and, in the same colour, the preview of the first
# address.
set -uo pipefail
executable="$1"
work="$(mktemp -d)"
pid=""
xvfb=""
trap 'kill $pid $xvfb 2>/dev/null; wait $pid $xvfb 2>/dev/null; rm -rf "$work"' EXIT

# The server picks a free display itself and names it on descriptor 3 only
# once it accepts connections: no guessed number, no race with another run.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 1 100); do
    [[ -s "$work/display" ]] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
    sleep 0.1
done
[[ -s "$work/display" ]] || { echo "Xvfb named no display"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$XDG_CONFIG_HOME/Zantoph/Pennolux"
# Update notifications off: the test reaches no web service.
printf '[Settings]\r\nShowUpdate=0\r\n' > "$XDG_CONFIG_HOME/Zantoph/Pennolux/update.ini"
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
# The preview shows the sample list's first address, magnified, on the same
# sky blue: thousands of pixels more than the swatch's 23 × 23.
if (( swatch_pixels < 23 * 23 + 5000 )); then
    echo "the preview shows no picture of the first address"; exit 1
fi
if [[ -n "${PENNOLUX_SCREENSHOT:-}" ]]; then
    /usr/bin/import -window "$window" "$PENNOLUX_SCREENSHOT"
fi
echo "main window shown with the Simple page"

# From the list, which has the focus at start, ten Tabs (the page tabs, then
# the Simple page in its order) reach START and Enter
# presses it; the completion message's title is the design's own, nothing
# appended.
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Return
message=""
for _ in $(seq 1 100); do
    message="$(xdotool search --onlyvisible --name '^SUCCESS$' 2>/dev/null | head -n 1)"
    [[ -n "$message" ]] && break
    sleep 0.1
done
if [[ -z "$message" ]]; then
    echo "no message titled exactly 'SUCCESS' after START; windows:"
    xdotool search --onlyvisible --name '.' getwindowname %@ 2>/dev/null; cat "$work/log"; exit 1
fi
images="$(find "$HOME" -name 'Output*.png' | wc -l)"
echo "START by keyboard wrote $images images and showed '$(xdotool getwindowname "$message")'"
(( images == 12 )) || { echo "expected the 12 sample images"; exit 1; }

# --- Advanced page: begin ----------------------------------------------------
# Opens the Advanced page by clicking its tab and checks on a screenshot that
# the canvas shows the default picture with Text 1: a large area of the
# backdrop's greens with the dark letters of "Text" inside it.
advanced_page_shown() {
    /usr/bin/import -window "$window" -depth 8 "$work/advanced.ppm"
    python3 - "$work/advanced.ppm" <<'PYTHON'
import sys
data = open(sys.argv[1], "rb").read()
fields, position = [], 0
while len(fields) < 4:
    while data[position:position + 1].isspace():
        position += 1
    if data[position:position + 1] == b"#":
        position = data.index(b"\n", position)
        continue
    end = position
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[position:end])
    position = end
width, height = int(fields[1]), int(fields[2])
pixels = data[position + 1:]
green = []
for y in range(height):
    row = pixels[y * width * 3:(y + 1) * width * 3]
    for x in range(width):
        r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
        if g > 60 and g > r + 25 and g > b + 20:
            green.append((x, y))
if len(green) < 400 * 150:
    print(f"green canvas pixels: {len(green)}")
    sys.exit(1)
left, right = min(x for x, _ in green), max(x for x, _ in green)
top, bottom = min(y for _, y in green), max(y for _, y in green)
dark = 0
for y in range(top, bottom + 1):
    for x in range(left, right + 1):
        offset = (y * width + x) * 3
        if max(pixels[offset:offset + 3]) < 80:
            dark += 1
print(f"canvas {right - left + 1} x {bottom - top + 1} at {left},{top}: {len(green)} green pixels, {dark} dark")
sys.exit(0 if dark >= 150 else 1)
PYTHON
}
# A message box left open (a run's summary) is closed first: it is modal.
for _ in $(seq 1 20); do
    box="$(xdotool search --onlyvisible --name '^SUCCESS$' 2>/dev/null | head -n 1)"
    [[ -z "$box" ]] && break
    xdotool windowactivate --sync "$box" 2>/dev/null || xdotool windowfocus --sync "$box"
    xdotool key Return
    sleep 0.2
done
eval "$(xdotool getwindowgeometry --shell "$window")"
opened=""
for tab_y in 30 34 26 38; do
    for tab_x in 285 265 305 245 325; do
        xdotool mousemove "$((X + tab_x))" "$((Y + tab_y))" click 1
        sleep 0.5
        if advanced_page_shown; then opened=yes; break 2; fi
    done
done
if [[ -z "$opened" ]]; then
    echo "the Advanced page does not show the default picture with Text 1"; exit 1
fi
if [[ -n "${PENNOLUX_ADVANCED_SCREENSHOT:-}" ]]; then
    /usr/bin/import -window "$window" "$PENNOLUX_ADVANCED_SCREENSHOT"
fi
echo "the Advanced page shows the default picture with Text 1"
# --- Advanced page: end ------------------------------------------------------
