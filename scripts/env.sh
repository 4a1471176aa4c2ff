# Shared by the scripts: where things are, and the Wine and X set-up.
# Sourced, not run.
QUILLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# QUILLET_WINEPREFIX lets parallel runs each use a prefix of their own.
export WINEPREFIX="${QUILLET_WINEPREFIX:-$QUILLET_ROOT/build/wineprefix}"
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

QUILLET_XVFB_PID=

# Starts a private Xvfb on a free display number and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
    QUILLET_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$QUILLET_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "no free X display for Xvfb" >&2
  return 1
}

stop_xvfb() {
  if [ -n "$QUILLET_XVFB_PID" ]; then
    kill "$QUILLET_XVFB_PID" 2>/dev/null || true
    wait "$QUILLET_XVFB_PID" 2>/dev/null || true
    QUILLET_XVFB_PID=
  fi
}

# The wineserver must start after DISPLAY is set; one persistent server
# serves the whole run.
start_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p
  # Wine's background services start with the first program and inherit its
  # output; started here, they hold /dev/null instead of a test's pipe, so
  # ctest does not wait for them after each test.
  wine wineboot >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
  wineserver -k >/dev/null 2>&1 || true
}
