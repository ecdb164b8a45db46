#!/usr/bin/env bash
# start BUILD_DIR: an Xvfb display and a persistent wineserver for the wine tests, their output
# detached so that ctest never waits on them, and an initialised wine prefix in the build tree.
# stop BUILD_DIR: ends both.
set -euo pipefail
cmd=$1 build=$(cd "$2" && pwd)
display=${QV_DISPLAY:-:99}
num=${display#:}
export WINEPREFIX="$build/wineprefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all DISPLAY=$display
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

case "$cmd" in
start)
  if ! { [ -e "/tmp/.X11-unix/X$num" ] && [ -f "/tmp/.X$num-lock" ] && kill -0 "$(tr -d ' ' < "/tmp/.X$num-lock")" 2>/dev/null; }; then
    rm -f "/tmp/.X$num-lock" "/tmp/.X11-unix/X$num"
    setsid Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$num" ] && break; sleep 0.1; done
  fi
  mkdir -p "$WINEPREFIX"
  setsid "$wineserver" -p </dev/null >/dev/null 2>&1 || true
  # The first wine process of a server starts wine's service processes, which keep the output
  # handles they inherit: start them here, detached, so that no test's output stays open.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$build/wine-run" wineboot.exe --init </dev/null >/dev/null 2>&1 || true
  else
    "$build/wine-run" wineboot.exe </dev/null >/dev/null 2>&1 || true
  fi
  # No window manager runs in the display: wine must not wait for one (it would wait 2 s each
  # time a top-level window goes).
  if ! grep -qs '"Managed"="N"' "$WINEPREFIX/user.reg"; then
    "$build/wine-run" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      </dev/null >/dev/null 2>&1 || true
  fi
  ;;
stop)
  "$wineserver" -k </dev/null >/dev/null 2>&1 || true
  if [ -f "/tmp/.X$num-lock" ]; then kill "$(tr -d ' ' < "/tmp/.X$num-lock")" 2>/dev/null || true; fi
  ;;
esac
