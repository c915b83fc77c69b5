# Shared settings for every script that runs Wine: the project's own prefix,
# the Russian locale (ANSI code page 1251), and the unprivileged user that Wine
# runs as when the scripts run as root (as root Wine ignores read-only files).
#
# Where the machine runs 32-bit code, Wine runs the i686 deliverables in a
# win32 prefix. Where it cannot (no 32-bit compatibility mode in the kernel or
# hypervisor), the same tests run the x86_64 mirror of both builds in a win64
# prefix; tests/WINE.md says what that leaves unchecked.
KX_ROOT=${KX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
KX_BUILD="$KX_ROOT/build"
KX_WINE_USER=${KX_WINE_USER:-kxwine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts; a crash ends the program instead of a debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
mkdir -p "$KX_BUILD"

# Chooses the architecture; call after the packages are installed.
kx_wine_setup() {
  if [ -z "${KX_WINE_ARCH:-}" ]; then
    if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
      KX_WINE_ARCH=win32
    else
      KX_WINE_ARCH=win64
    fi
  fi
  export WINEARCH=$KX_WINE_ARCH
  export WINEPREFIX="$KX_BUILD/wineprefix-$KX_WINE_ARCH"
  if [ "$KX_WINE_ARCH" = win32 ]; then
    KX_WINE_LOADER=/usr/lib/wine/wine
    KX_WIN_OUT="$KX_BUILD"
  else
    KX_WINE_LOADER=/usr/lib/wine/wine64
    KX_WIN_OUT="$KX_BUILD/x64"
  fi
  KX_WINESERVER=/usr/lib/wine/wineserver64
  [ -x "$KX_WINESERVER" ] || KX_WINESERVER=/usr/lib/wine/wineserver32
  # Where the staged binaries live inside the prefix, as Windows paths.
  KX_STAGE="$WINEPREFIX/drive_c/kestrel"
  KX_STAGE_WIN='C:\kestrel'
}

# Wine runs as the unprivileged user when we are root and that user can reach
# the build tree; otherwise as ourselves (as root, read-only files then behave
# differently: see tests/WINE.md).
kx_as_wine_user() {
  if [ -z "${KX_USE_WINE_USER:-}" ]; then
    KX_USE_WINE_USER=no
    if [ "$(id -u)" = 0 ] && id "$KX_WINE_USER" >/dev/null 2>&1; then
      if runuser -u "$KX_WINE_USER" -- test -x "$KX_BUILD"; then
        KX_USE_WINE_USER=yes
      else
        echo "wine-env: $KX_WINE_USER cannot reach $KX_BUILD; running Wine as root" >&2
      fi
    fi
  fi
  [ "$KX_USE_WINE_USER" = yes ]
}

# Give paths to the Wine user (only when we are root and so run Wine as it).
kx_own() {
  if kx_as_wine_user; then chown -R "$KX_WINE_USER:" "$@"; fi
}

# Run a command with the project's Wine environment.
kx_wine_cmd() {
  local home="$KX_BUILD/winehome"
  mkdir -p "$home"
  if kx_as_wine_user; then
    [ "$(stat -c %U "$home")" = "$KX_WINE_USER" ] || chown "$KX_WINE_USER:" "$home"
    runuser -u "$KX_WINE_USER" -- env -i PATH=/usr/local/bin:/usr/bin:/bin \
      HOME="$home" LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 \
      WINEPREFIX="$WINEPREFIX" WINEARCH="$WINEARCH" WINEDEBUG="$WINEDEBUG" \
      WINEDLLOVERRIDES="$WINEDLLOVERRIDES" ${DISPLAY:+DISPLAY="$DISPLAY"} ${KX_WINE_EXTRA_ENV:-} "$@"
  else
    env HOME="$home" LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 ${KX_WINE_EXTRA_ENV:-} "$@"
  fi
}

kx_wine() { kx_wine_cmd "$KX_WINE_LOADER" "$@"; }
kx_wineserver() { kx_wine_cmd "$KX_WINESERVER" "$@"; }

# Copies the built DLLs and programs into the prefix (there is no Z: drive).
kx_stage() {
  mkdir -p "$KX_STAGE/oracle" "$KX_STAGE/migration" "$KX_STAGE/bin"
  cp "$KX_WIN_OUT/oracle/Kestrel.dll" "$KX_STAGE/oracle/"
  cp "$KX_WIN_OUT/migration/Kestrel.dll" "$KX_STAGE/migration/"
  cp "$KX_WIN_OUT"/bin/*.exe "$KX_WIN_OUT"/bin/*.dll "$KX_STAGE/bin/"
  # The stand-ins of the platform (an Oracle client per emulated version).
  rm -rf "$KX_STAGE/standins" "$KX_STAGE/data"
  cp -r "$KX_WIN_OUT/standins" "$KX_STAGE/standins"
  # Files the tests read (Btrieve files made by the real engine).
  cp -r "$KX_ROOT/tests/data" "$KX_STAGE/data"
  kx_own "$KX_STAGE"
}
