#!/usr/bin/env bash
# Takes the README's screenshots from a real run: the program against the sample site under
# Xvfb, driven with xdotool as a user would (a category click, a double-click on a film, the
# cloud-play flow), each window saved as it looks. Run after ./test.sh (or ./run.sh) built it.
#
#   scripts/take-screenshots.sh [output-folder]     (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-docs/screenshots}
program=${QORVELLA_PROGRAM:-build/qorvella}
mkdir -p "$out"
pids=()
cleanup() { for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

source scripts/lib/x_session.sh
start_xvfb
# Slow pages, so that the list fills while the busy indicator turns.
start_sample_site . 400 || { echo "take-screenshots: the sample site did not start" >&2; exit 1; }

data=$(mktemp -d)
XDG_DATA_HOME="$data" "$program" &
program_pid=$!
pids+=("$program_pid")

window() {  # the id of the window whose title matches $1, once it is shown
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "take-screenshots: no window '$1'" >&2
  exit 1
}
shot() {  # window id, file name
  eval "$(xdotool getwindowgeometry --shell "$1")"
  /usr/bin/python3 - "$DISPLAY" "$out/$2" "$X" "$Y" "$WIDTH" "$HEIGHT" <<'PY'
import sys
from PIL import ImageGrab
d, path, x, y, w, h = sys.argv[1], sys.argv[2], *map(int, sys.argv[3:])
ImageGrab.grab(xdisplay=d).convert("RGB").crop((x, y, x + w, y + h)).save(path)
PY
  echo "take-screenshots: $out/$2"
}
press_escape() { xdotool windowfocus --sync "$1" key Escape; }
click() { xdotool mousemove --window "$1" "$2" "$3" click --repeat "${4:-1}" --delay 80 1; }

main=$(window '^Qorvella')
sleep 4  # the ad strips load
click "$main" 143 241          # BD高清
sleep 2.5
shot "$main" mainwindow.png     # rows of the first pages, the busy ring turning
sleep 3
click "$main" 440 160 2        # double-click the first film
play=$(window '^银杏归途$')       # FilmPlayWindow takes the film's title as its caption
sleep 3
shot "$play" filmplaywindow.png
press_escape "$play"
sleep 0.5
click "$main" 143 385          # 免费在线云播
link=$(window '免费在线云播放器')
sleep 1
shot "$link" cloudlinkwindow.png
click "$link" 300 176
xdotool key --window "$link" ctrl+a
xdotool type --window "$link" --delay 20 'magnet:?xt=urn:btih:230a7278e5bd1e7ec1ca1fd8d130e1442723ae6a&dn=Qorvella.mkv'
click "$link" 688 176          # 播放
player=$(window '在线云播$')
sleep 3
shot "$player" cloudplayerwindow.png
press_escape "$player"
wait "$program_pid" && status=0 || status=$?
echo "take-screenshots: the program ended with exit code $status when the player closed"
