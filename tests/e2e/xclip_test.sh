#!/usr/bin/env bash
# Copies a text on the X side with xclip while the driver runs Quillet.exe, and lets the driver
# check the count. Each time the driver writes "copy-N" into the hand-shake folder (the program
# watches and the driver's own window is in front), this script copies and writes "copied-N".
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

copy() {
  [ -n "$xclip_pid" ] && kill "$xclip_pid" 2>/dev/null
  # -quiet keeps xclip in the foreground of its job, so the script knows its id to end it.
  xclip -selection clipboard -quiet -i "$work/text" >/dev/null 2>&1 &
  xclip_pid=$!
  touch "$work/copied-$1"
}

"$wine_run" "$driver" --quillet="$quillet" --handshake="$work" --gtest_filter='XSide.*' &
driver_pid=$!
# Every wait is bounded: the driver ends within its own time limits.
for _ in $(seq 1200); do
  kill -0 "$driver_pid" 2>/dev/null || break
  for request in "$work"/copy-*; do
    [ -e "$request" ] || continue
    n=${request##*/copy-}
    [ -e "$work/copied-$n" ] || copy "$n"
  done
  sleep 0.1
done
wait "$driver_pid"
