#!/usr/bin/env bash
# with_xvfb.sh COMMAND [ARGS...]: runs COMMAND with DISPLAY on an Xvfb of its own (a free
# display number), stopped by its process id afterwards. Fails when no Xvfb can start.
set -u
command -v Xvfb >/dev/null && command -v xdpyinfo >/dev/null ||
  { echo "FAIL: Xvfb or xdpyinfo is missing (run scripts/deps)"; exit 1; }
xvfb=""
for ((attempt = 0; attempt < 20; attempt++)); do
  display=":$((200 + RANDOM % 700))"
  [ -e "/tmp/.X${display#:}-lock" ] && continue
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  for ((t = 0; t < 50; t++)); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; xvfb=""
done
[ -n "$xvfb" ] || { echo "FAIL: no Xvfb could be started"; exit 1; }
DISPLAY=$display "$@"
status=$?
kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null
exit $status
