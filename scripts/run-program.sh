#!/usr/bin/env bash
# Starts the program against the bundled sample site (when it is there), as ./run.sh does once
# build/qorvella exists. With no display it runs under Xvfb, saves a screenshot of the screen
# cropped to the program's windows and closes the program (pass --keep to leave it running
# until Ctrl-C).
#
#   scripts/run-program.sh [--keep] [--screenshot FILE] [--delay SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."

program=${QORVELLA_PROGRAM:-build/qorvella}
screenshot=build/screenshots/mainwindow.png
delay=6
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --keep) keep=1 ;;
    --screenshot) screenshot=$2; shift ;;
    --delay) delay=$2; shift ;;
    *) echo "run-program: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done

server_pid=''
xvfb_pid=''
program_pid=''
cleanup() {
  [ -n "$program_pid" ] && kill -TERM "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  [ -n "$server_pid" ] && kill -TERM "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -f sample-site/server.py ]; then
  ready=$(mktemp)
  rm -f "$ready"
  /usr/bin/python3 sample-site/server.py --ready-file "$ready" >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do [ -s "$ready" ] && break; sleep 0.1; done
  if [ -s "$ready" ]; then
    echo "run-program: sample site on http://127.0.0.1:$(cat "$ready")"
  else
    echo "run-program: the sample site did not start (port 8631 taken?); going on without it"
  fi
fi

if [ -n "${DISPLAY:-}" ]; then
  "$program" &
  program_pid=$!
  wait "$program_pid" && status=0 || status=$?
  program_pid=''
  exit "$status"
fi

# No display: a virtual one. Its number is the first free one from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp -br >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb  # the virtual display, whatever the environment says
echo "run-program: no display; running under Xvfb on $DISPLAY"

"$program" &
program_pid=$!
sleep "$delay"
if ! kill -0 "$program_pid" 2>/dev/null; then
  wait "$program_pid" && status=0 || status=$?
  program_pid=''
  echo "run-program: the program ended early with exit code $status" >&2
  exit "$status"
fi
mkdir -p "$(dirname "$screenshot")"
/usr/bin/python3 - "$DISPLAY" "$screenshot" <<'PY'
import sys
from PIL import ImageGrab
screen = ImageGrab.grab(xdisplay=sys.argv[1]).convert("RGB")
box = screen.point(lambda v: 255 if v else 0).getbbox()  # the windows on the black root
(screen.crop(box) if box else screen).save(sys.argv[2])
PY
echo "run-program: screenshot saved to $(realpath "$screenshot")"

if [ "$keep" -eq 1 ]; then
  echo "run-program: the program keeps running on $DISPLAY; Ctrl-C ends it"
  wait "$program_pid" && status=0 || status=$?
  program_pid=''
  exit "$status"
fi
kill -TERM "$program_pid"
wait "$program_pid" && status=0 || status=$?
program_pid=''
echo "run-program: program closed, exit code $status"
exit "$status"
