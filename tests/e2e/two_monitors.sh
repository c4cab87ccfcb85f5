#!/usr/bin/env bash
# Runs the driver's TwoMonitors suites on the two-monitor desktop (start_dual_display): its own
# Xorg, and a Wine prefix and session of its own, because a Wine session lives on one X display
# and the other tests keep theirs on Xvfb meanwhile. Ends both, whatever happens.
#   two_monitors.sh DRIVER.exe QUILLET.exe [DRIVER ARGUMENTS...]
# e.g. --gtest_filter='TwoMonitorsPlacement.*' after the two paths runs fewer suites.
set -u
driver=$1 quillet=$2
shift 2
# Without QUILLET_BUILD, the tree the driver lives in tells where the build trees are.
if [ -z "${QUILLET_BUILD:-}" ] && [[ "$driver" == */win64/* ]]; then
  export QUILLET_BUILD=${driver%%/win64/*}
fi
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
command -v Xorg >/dev/null || { echo "Xorg is missing (xserver-xorg-core)"; exit 1; }

export QUILLET_WINEPREFIX=$QUILLET_BUILD/wineprefix-dual
wine_env
cleanup() {
  wineserver -k 2>/dev/null  # this prefix's server only
  stop_dual_display
}
trap cleanup EXIT

start_dual_display || exit 1
# A new prefix is made on this display: its first explorer aborts before UseXVidMode is set,
# which does not hurt the prefix; the session below starts with the setting.
ensure_wine_prefix
wine_managed_windows N
start_wine_session
wine "$driver" --quillet="$quillet" --two-monitors --gtest_filter='TwoMonitors*.*' "$@"
