#!/usr/bin/env bash
# Runs the driver's Counting suites with the program and the application that copies under a
# non-Japanese locale (C.UTF-8: a copy's locale is English, and the system makes its CF_TEXT in
# code page 1252), on an Xvfb and in a Wine prefix of their own. Ends both, whatever happens.
#   other_locale.sh DRIVER.exe QUILLET.exe [DRIVER ARGUMENTS...]
set -u
driver=$1 quillet=$2
shift 2
# Without QUILLET_BUILD, the tree the driver lives in tells where the build trees are.
if [ -z "${QUILLET_BUILD:-}" ] && [[ "$driver" == */win64/* ]]; then
  export QUILLET_BUILD=${driver%%/win64/*}
fi
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"

# A copy of the Japanese prefix, which takes seconds where making one takes a minute: a prefix
# holds no locale of its own.
(unset QUILLET_WINEPREFIX QUILLET_WINE_LOCALE && ensure_wine_prefix)
export QUILLET_WINEPREFIX=$QUILLET_BUILD/wineprefix-c QUILLET_WINE_LOCALE=C.UTF-8
wine_env
if [ "$(cat "$WINEPREFIX/.quillet-ready" 2>/dev/null)" != "$QUILLET_PREFIX_VERSION" ]; then
  log "copying the Wine prefix to $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  cp -a "$QUILLET_BUILD/wineprefix" "$WINEPREFIX" || exit 1
fi
cleanup() {
  wineserver -k 2>/dev/null  # this prefix's server only
  stop_xvfb
}
trap cleanup EXIT

start_xvfb || exit 1
wine_managed_windows N
wine_dpi 96
start_wine_session
wine "$driver" --quillet="$quillet" --gtest_filter='Counting*.*' "$@"
