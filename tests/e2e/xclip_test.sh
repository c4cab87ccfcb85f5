#!/usr/bin/env bash
# Copies a text on the X side with xclip while the driver runs Quillet.exe, and lets the driver
# check the count. The driver writes "ready" into the hand-shake folder when the program watches
# and the driver's own window is in front; this script then copies and writes "copied".
#   xclip_test.sh WINE_RUN DRIVER.exe QUILLET.exe
set -u
wine_run=$1 driver=$2 quillet=$3
command -v xclip >/dev/null || { echo "xclip is missing"; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "DISPLAY is not set"; exit 1; }

work=$(mktemp -d)
xclip_pid=
cleanup() {
  [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
printf 'Hello, 世界！ｱｲ　x\ty' >"$work/text"

"$wine_run" "$driver" --quillet="$quillet" --handshake="$work" --gtest_filter='XSide.*' &
driver_pid=$!
for _ in $(seq 600); do
  [ -e "$work/ready" ] && break
  kill -0 "$driver_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -e "$work/ready" ]; then
  # -quiet keeps xclip in the foreground of this job, so the script knows its id to end it.
  xclip -selection clipboard -quiet -i "$work/text" >/dev/null 2>&1 &
  xclip_pid=$!
  touch "$work/copied"
fi
wait "$driver_pid"
