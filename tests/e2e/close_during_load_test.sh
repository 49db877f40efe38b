#!/usr/bin/env bash
# The real program under Xvfb against the sample site answering slowly: a category click starts
# a load, then the user presses Esc in MainWindow, its last window. The program must end at once
# with exit code 0, although the load's worker is still waiting for a page.
#
#   close_during_load_test.sh PROGRAM SOURCE_DIR
set -euo pipefail
program=$1
source_dir=$2
pids=()
cleanup() { for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done; }
trap cleanup EXIT

source "$source_dir/scripts/lib/x_session.sh"
start_xvfb
log=$(mktemp)
start_sample_site "$source_dir" 3000 --request-log "$log" || { echo "FAIL: the sample site did not start"; exit 1; }

data=$(mktemp -d)
XDG_DATA_HOME="$data" "$program" >/dev/null 2>&1 &
program_pid=$!
pids+=("$program_pid")
for _ in $(seq 300); do
  main=$(xdotool search --onlyvisible --name '^Qorvella' 2>/dev/null | head -1) && [ -n "$main" ] && break
  sleep 0.1
done
[ -n "${main:-}" ] || { echo "FAIL: MainWindow did not appear"; exit 1; }

xdotool mousemove --window "$main" 143 241 click 1   # BD高清
for _ in $(seq 50); do grep -q '^GET /bd/$' "$log" && break; sleep 0.1; done
grep -q '^GET /bd/$' "$log" || { echo "FAIL: the click started no load"; exit 1; }

start=$(date +%s%N)
xdotool windowfocus --sync "$main" key Escape
status=''
for _ in $(seq 50); do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    wait "$program_pid" && status=0 || status=$?
    break
  fi
  sleep 0.1
done
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ -n "$status" ] || { echo "FAIL: the program still runs 5 s after its last window closed"; exit 1; }
[ "$status" -eq 0 ] || { echo "FAIL: exit code $status, expected 0"; exit 1; }
echo "ok: exit code 0, ${elapsed_ms} ms after Esc, with a page fetch still under way"
