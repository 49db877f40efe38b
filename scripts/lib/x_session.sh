# Shared by the scripts that run the real program under Xvfb against the sample site.
# Source it after setting the array `pids`: every process started here is appended to it, for
# the caller's clean-up to end.

# Starts Xvfb on the first free display from :90 on and points DISPLAY and Qt at it.
start_xvfb() {
  local display=90
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  export DISPLAY=":$display"
  export QT_QPA_PLATFORM=xcb  # the real X display, whatever the offscreen GUI tests use
}

# start_sample_site SOURCE_DIR DELAY_MS [server options...]: the sample site on its usual port,
# each page answered after DELAY_MS; returns non-zero when it did not come up.
start_sample_site() {
  local source_dir=$1 delay=$2 ready
  shift 2
  ready=$(mktemp -u)
  /usr/bin/python3 "$source_dir/sample-site/server.py" --delay-ms "$delay" --ready-file "$ready" "$@" \
    >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$ready" ] && return 0; sleep 0.1; done
  return 1
}
