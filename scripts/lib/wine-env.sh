# Shared by wine-run and with-display: the Wine environment of WINE.md and the project's own prefix
# inside the build folder, created once under a lock. Source it; it defines functions only.

KYT_WINE=${KYT_WINE:-/usr/lib/wine/wine64}
KYT_WINESERVER=${KYT_WINESERVER:-/usr/lib/wine/wineserver}

# Prints the build folder (the one holding CMakeCache.txt) at or above PATH; fails if none.
kyt_find_build_dir() {
  local dir
  dir=$(realpath -m -- "$1")
  [ -d "$dir" ] || dir=$(dirname -- "$dir")
  while [ "$dir" != / ]; do
    if [ -f "$dir/CMakeCache.txt" ]; then printf '%s\n' "$dir"; return 0; fi
    dir=$(dirname -- "$dir")
  done
  return 1
}

# Exports the Wine environment; WINEPREFIX is kept when already set, else <build>/wineprefix.
kyt_wine_env() {
  local build=$1
  export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv="
  # Shell deletes with FOF_ALLOWUNDO go to the Linux trash, which must stay in the build tree.
  export XDG_DATA_HOME="$(dirname -- "$WINEPREFIX")/xdg-data"
  mkdir -p "$XDG_DATA_HOME"
}

# Creates the prefix once (single-threaded, under a lock) with the unmanaged X11 windows setting
# and without the crash dialog; later calls return at once.
kyt_ensure_prefix() {
  local ready="$WINEPREFIX/.kyt-ready"
  [ -f "$ready" ] && return 0
  mkdir -p "$(dirname -- "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$ready" ]; then
      echo "wine: creating prefix $WINEPREFIX" >&2
      "$KYT_WINE" wineboot -u >/dev/null 2>&1
      "$KYT_WINESERVER" -w
      "$KYT_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      "$KYT_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      "$KYT_WINESERVER" -w
      touch "$ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}
