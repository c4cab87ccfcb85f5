#!/usr/bin/env bash
# Runs the driver's Counting suites with everything under C.UTF-8, where a copy's locale is
# English and the system makes its CF_TEXT in code page 1252, on an Xvfb and in a Wine prefix of
# their own: a copy of the Japanese prefix, which holds no locale (Wine reads LANG at each start).
#   other_locale.sh DRIVER.exe QUILLET.exe [DRIVER ARGUMENTS...]
set -u
driver=$1 quillet=$2
shift 2
[[ -z "${QUILLET_BUILD:-}" && "$driver" == */win64/* ]] && export QUILLET_BUILD=${driver%%/win64/*}
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
(ensure_wine_prefix)
export QUILLET_WINEPREFIX=$QUILLET_BUILD/wineprefix-c QUILLET_WINE_LOCALE=C.UTF-8
wine_env
if [ "$(cat "$WINEPREFIX/.quillet-ready" 2>/dev/null)" != "$QUILLET_PREFIX_VERSION" ]; then
  rm -rf "$WINEPREFIX" && cp -a "$QUILLET_BUILD/wineprefix" "$WINEPREFIX" || exit 1
fi
trap 'wineserver -k 2>/dev/null; stop_xvfb' EXIT  # this prefix's server only
start_xvfb || exit 1
wine_managed_windows N
wine_dpi 96
start_wine_session
wine "$driver" --quillet="$quillet" --gtest_filter='Counting*.*' "$@"
