# Shared by scripts/run and scripts/test: packages, locale, build trees, Wine prefix, Xvfb.
# Sourced, not run. Everything here is idempotent: a second call does nothing that is done.

QUILLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export QUILLET_ROOT
export QUILLET_BUILD=${QUILLET_BUILD:-$QUILLET_ROOT/build}

QUILLET_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev clang-format python3
  googletest libgtest-dev libbenchmark-dev libicu-dev
  g++-mingw-w64-x86-64-posix wine wine64
  xvfb xclip xdotool x11-utils imagemagick locales fonts-ipafont-gothic fonts-wine
  xserver-xorg-core xserver-xorg-video-dummy
  zip unzip
)
# For the help page in a real browser (scripts/test, scripts/help-screenshots) only.
QUILLET_PAGE_PACKAGES=(chromium)

# The DLLs every Windows from 7 on has: a statically linked Quillet.exe may import these and
# nothing else. Not listed: shcore (Windows 8.1 on) and the universal C runtime, ucrtbase and
# api-ms-win-crt-* (Windows 10 on), which a Windows 7 machine lacks.
QUILLET_WINDOWS_DLLS=(
  advapi32 bcrypt comctl32 comdlg32 crypt32 dbghelp dwmapi gdi32 gdiplus imm32 iphlpapi kernel32
  msimg32 msvcrt normaliz ntdll ole32 oleacc oleaut32 powrprof psapi rpcrt4 secur32 setupapi
  shell32 shlwapi user32 userenv uxtheme version winmm winspool.drv ws2_32 wtsapi32
)

log() { printf '\033[1m== %s\033[0m\n' "$*" >&2; }

# ensure_packages [EXTRA...]: the packages every script needs, and any extra ones given.
ensure_packages() {
  local missing=()
  for p in "${QUILLET_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep 'install ok installed' >/dev/null || missing+=("$p")
  done
  if ((${#missing[@]})); then
    log "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

ensure_locale() {
  if ! locale -a 2>/dev/null | grep -i '^ja_JP\.utf-\?8$' >/dev/null; then
    log "generating the ja_JP.UTF-8 locale"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
}

# X's counting library, which the X figure is checked against (tests/conformance/x-oracle): Node.js
# and npm from Debian where the machine has none, then the package at the version the committed
# lock file pins, into $QUILLET_BUILD/x-oracle (where the native tree's tests look for it).
ensure_x_oracle() {
  command -v node >/dev/null && command -v npm >/dev/null || ensure_packages nodejs npm
  local dir=$QUILLET_BUILD/x-oracle src=$QUILLET_ROOT/tests/conformance/x-oracle
  if ! cmp -s "$src/package-lock.json" "$dir/package-lock.json" || [ ! -d "$dir/node_modules" ]; then
    log "installing twitter-text into $dir"
    mkdir -p "$dir"
    cp "$src/package.json" "$src/package-lock.json" "$dir/"
    (cd "$dir" && npm ci --no-audit --no-fund --ignore-scripts >/dev/null) || return 1
  fi
}

# configure_tree DIR [cmake args...]: configures when the tree is new or its arguments changed;
# otherwise Ninja re-runs CMake by itself when the CMake files change. Warnings are errors.
configure_tree() {
  local dir=$1; shift
  local args=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_WERROR=ON "$@")
  if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$dir/.quillet-args" 2>/dev/null)" != "${args[*]}" ]; then
    log "configuring $dir"
    cmake -S "$QUILLET_ROOT" -B "$dir" "${args[@]}" >/dev/null || return 1
    echo "${args[*]}" >"$dir/.quillet-args"
  fi
}

build_native() {
  configure_tree "$QUILLET_BUILD/native" || return 1
  log "building native"
  cmake --build "$QUILLET_BUILD/native"
}

# The native unit tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
build_sanitize() {
  configure_tree "$QUILLET_BUILD/sanitize" -DQUILLET_SANITIZE=ON -DQUILLET_BENCH=OFF || return 1
  log "building the sanitized unit tests"
  cmake --build "$QUILLET_BUILD/sanitize"
}

# build_win64 [--target NAME...]: the whole tree, or only the targets given.
build_win64() {
  configure_tree "$QUILLET_BUILD/win64" \
    -DCMAKE_TOOLCHAIN_FILE="$QUILLET_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DQUILLET_NATIVE_BUILD="$QUILLET_BUILD/native" || return 1
  log "building win64${1:+ ($*)}"
  cmake --build "$QUILLET_BUILD/win64" "$@"
}

build_fuzz() {
  configure_tree "$QUILLET_BUILD/fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DQUILLET_FUZZ=ON -DQUILLET_TESTS=OFF -DQUILLET_BENCH=OFF || return 1
  log "building fuzz targets"
  cmake --build "$QUILLET_BUILD/fuzz"
}

# QUILLET_WINEPREFIX picks another prefix than the usual one (the two-monitor tests have theirs),
# QUILLET_WINE_LOCALE another locale than Japanese: Wine takes the system and user locale, and
# with them the code page of a copy's CF_TEXT, from LANG at each start. QUILLET_WINEDEBUG another
# WINEDEBUG than silence (scripts/test lets Wine's errors through).
wine_env() {
  export WINEPREFIX=${QUILLET_WINEPREFIX:-$QUILLET_BUILD/wineprefix}
  export WINEDEBUG=${QUILLET_WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=${QUILLET_WINE_LOCALE:-ja_JP.UTF-8} LC_ALL=${QUILLET_WINE_LOCALE:-ja_JP.UTF-8}
}

# Bumped whenever ensure_wine_prefix sets something new, so older prefixes are set up again.
QUILLET_PREFIX_VERSION=4

# A prefix inside the build tree, with the Japanese UI fonts mapped to the IPA fonts and the
# tooltip colour of a stock Windows, so screenshots look as they would there. Wine's X11 driver
# does without the XVidMode extension: on the two-monitor display (start_dual_display) it would
# otherwise abort ("free(): invalid pointer") and report one monitor. Xvfb has no XVidMode, and on
# a desktop Wine takes RandR first, so elsewhere the setting changes nothing (measured on Xvfb:
# the same monitors, work area and pointer with and without it).
ensure_wine_prefix() {
  wine_env
  if [ "$(cat "$WINEPREFIX/.quillet-ready" 2>/dev/null)" != "$QUILLET_PREFIX_VERSION" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    local key='HKCU\Software\Wine\Fonts\Replacements'
    for face in 'ＭＳ ゴシック' 'MS Gothic' 'ＭＳ 明朝' 'MS Mincho'; do
      wine reg add "$key" /v "$face" /d 'IPAGothic' /f >/dev/null 2>&1
    done
    for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic' 'ＭＳ Ｐ明朝' 'MS PMincho'; do
      wine reg add "$key" /v "$face" /d 'IPAPGothic' /f >/dev/null 2>&1
    done
    wine reg add 'HKCU\Control Panel\Colors' /v InfoWindow /d '255 255 225' /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXVidMode /d N /f >/dev/null 2>&1
    wineserver -w
    echo "$QUILLET_PREFIX_VERSION" >"$WINEPREFIX/.quillet-ready"
  fi
  ensure_wine_caption_font
}

# The caption buttons (close box, menu check marks) are glyphs of the Marlett font. Debian's
# Wine 8 does not load the fonts of fonts-wine from its data folder (/usr/share/wine/fonts; a
# +font trace shows no face added from there), only from C:\windows\Fonts and fontconfig's
# folders, so without this the close box shows as the letter "r". Checked on every call, so it
# also heals a prefix made before fonts-wine was installed.
ensure_wine_caption_font() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts src=/usr/share/wine/fonts/marlett.ttf
  if [ -f "$src" ] && [ -d "$fonts" ] && ! cmp -s "$src" "$fonts/marlett.ttf"; then
    cp "$src" "$fonts/marlett.ttf"
  fi
}

# The system DPI of the programs Wine starts from now on (96 is 100 %, 144 is 150 %). Wine has
# one DPI for every monitor, read by each process when it starts.
wine_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# Whether a window manager places Wine's windows: "Y" on a person's desktop, "N" on a bare Xvfb,
# where Wine would otherwise wait two seconds for a window manager each time a window is hidden.
wine_managed_windows() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1
}

# Wine's own services (explorer, device manager) started detached from the caller's output, so
# that a test runner reading that output does not wait for them to end.
start_wine_session() {
  wineserver -w  # a server left by an earlier command would refuse the persistent one
  wineserver -p 60
  wine wineboot </dev/null >/dev/null 2>&1
}

# Starts a private Xvfb (1024x768 unless a geometry such as 1920x1080 is given) and exports
# DISPLAY; stop_xvfb ends it.
start_xvfb() {
  local n geometry=${1:-1024x768}
  for n in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || break
  done
  Xvfb ":$n" -screen 0 "${geometry}x24" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  log "Xvfb did not start"; return 1
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# The two-monitor desktop: a 1024 × 768 primary and a 1280 × 1024 monitor to its right, tops
# aligned, so the heights differ (below the primary is off screen, beside it is not). Xorg with
# the dummy video driver and two screens joined by Xinerama, whose heads Wine reports as monitors;
# Xvfb with RANDR shows Wine one monitor. Modelines from cvt (60 Hz).
dual_display_conf() {
  cat <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "AutoAddGPU" "false"
  Option "AutoBindGPU" "false"
  Option "DontVTSwitch" "true"
  Option "Xinerama" "true"
EndSection
Section "Device"
  Identifier "card0"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Device"
  Identifier "card1"
  Driver "dummy"
  VideoRam 64000
EndSection
Section "Monitor"
  Identifier "monitor0"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Monitor"
  Identifier "monitor1"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Modeline "1280x1024" 109.00 1280 1368 1496 1712 1024 1027 1034 1063 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen0"
  Device "card0"
  Monitor "monitor0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1024x768"
    Virtual 1024 768
  EndSubSection
EndSection
Section "Screen"
  Identifier "screen1"
  Device "card1"
  Monitor "monitor1"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1280x1024"
    Virtual 1280 1024
  EndSubSection
EndSection
Section "ServerLayout"
  Identifier "two monitors"
  Screen 0 "screen0" 0 0
  Screen 1 "screen1" RightOf "screen0"
EndSection
EOF
}

# Starts a private Xorg with the two-monitor desktop and exports DISPLAY; stop_dual_display ends
# it. It reads only its own configuration (written under the build tree; the empty folder keeps
# /etc/X11/xorg.conf.d out), takes no input devices of the machine, shares the current virtual
# terminal without switching it or changing its mode, and listens on its local socket only.
# Without -keeptty it leaves the caller's session, so logind never hands it a seat. Xorg needs
# root for the console (the scripts and CI run as root; otherwise sudo -n, which never asks).
# Nothing happens while one is running; a start gives up after 10 s on three display numbers.
start_dual_display() {
  dual_display_running && return 0
  local dir=$QUILLET_BUILD/dual-display sudo="" n tries=0
  [ "$(id -u)" -eq 0 ] || sudo="sudo -n"
  mkdir -p "$dir/xorg.conf.d"
  echo '# Empty: the configuration is ../xorg.conf.' >"$dir/xorg.conf.d/empty.conf"
  dual_display_conf >"$dir/xorg.conf"
  for n in $(seq 90 120); do
    { [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; } && continue
    $sudo Xorg ":$n" -config "$dir/xorg.conf" -configdir "$dir/xorg.conf.d" -logfile "$dir/xorg.log" \
      -noreset -nolisten tcp -sharevts -novtswitch </dev/null >/dev/null 2>&1 &
    DUAL_DISPLAY_PID=$! DUAL_DISPLAY_NUMBER=$n
    for _ in $(seq 100); do
      # Answered by this server, not by one that took the number first.
      if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && dual_display_running; then
        export DISPLAY=":$n"
        return 0
      fi
      dual_display_running || break
      sleep 0.1
    done
    stop_dual_display
    tries=$((tries + 1))
    [ "$tries" -lt 3 ] || break
  done
  log "Xorg did not start (see $dir/xorg.log)"
  return 1
}

# Whether the server started last still runs (ps: under sudo it is not the caller's process).
dual_display_running() {
  [ -n "${DUAL_DISPLAY_PID:-}" ] && ps -p "$DUAL_DISPLAY_PID" >/dev/null 2>&1
}

stop_dual_display() {
  [ -n "${DUAL_DISPLAY_PID:-}" ] || return 0
  local sudo="" n=$DUAL_DISPLAY_NUMBER
  [ "$(id -u)" -eq 0 ] || sudo="sudo -n"
  $sudo kill "$DUAL_DISPLAY_PID" 2>/dev/null
  for _ in $(seq 50); do
    dual_display_running || break
    sleep 0.1
  done
  if dual_display_running; then
    $sudo kill -9 "$DUAL_DISPLAY_PID" 2>/dev/null
    $sudo rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
  fi
  wait "$DUAL_DISPLAY_PID" 2>/dev/null
  DUAL_DISPLAY_PID= DUAL_DISPLAY_NUMBER=
}

# imported_dlls EXE: the DLLs a Windows executable imports, one a line, as the linker wrote them.
imported_dlls() {
  x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'
}

# not_windows_dlls NAME...: prints each name that is none of Windows' own DLLs (in any case).
not_windows_dlls() {
  local name base
  for name in "$@"; do
    base=${name,,}
    base=${base%.dll}
    [[ " ${QUILLET_WINDOWS_DLLS[*]} " == *" $base "* ]] || echo "$name"
  done
}

# zip_release STAGE EPOCH ZIP: the folder STAGE/Quillet (files only) as ZIP, the same bytes for
# the same files: entries in a fixed order (byte order of their names), each with the time EPOCH
# and fixed permissions, and no extra fields (owner, times in other forms). A zip holds local
# time: taken in UTC.
zip_release() {
  local stage=$1 epoch=$2 zip=$3 files
  mapfile -t files < <(cd "$stage" && find Quillet -mindepth 1 | LC_ALL=C sort)
  chmod 755 "$stage/Quillet"
  (cd "$stage" && chmod 644 "${files[@]}" && touch -d "@$epoch" Quillet "${files[@]}")
  rm -f "$zip"
  (cd "$stage" && TZ=UTC zip -q -X "$zip" Quillet/ "${files[@]}")
}

# install_program DIR: Quillet.exe with what travels beside it (the help page), and the window
# tool the scripts drive it with, into DIR, as a user's folder holds them.
install_program() {
  mkdir -p "$1"
  cp "$QUILLET_BUILD/win64/Quillet.exe" "$QUILLET_BUILD/win64/Quillet.html" \
    "$QUILLET_BUILD/win64/quillet_window_tool.exe" "$1/"
}

# Opening an .html file (the ヘルプ menus) goes to Wine's winebrowser, which hands it on to the
# desktop's default browser (xdg-open and the list in HKCU\Software\Wine\WineBrowser). Wine
# registers .html with its HTML engine, which this prefix does without, so nothing would open it.
# Set on every call: a test that put its own handler in and ended before restoring the old one
# leaves nothing behind that scripts/run keeps.
ensure_html_association() {
  wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1 &&
    wine reg add 'HKCR\htmlfile\shell\open\command' /ve \
      /d '"C:\windows\system32\winebrowser.exe" "%1"' /f >/dev/null 2>&1
}
