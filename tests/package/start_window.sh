#!/usr/bin/env bash
# Run under a display by the package checks:
#   start_window.sh LOADED COMMAND [ARGUMENT...]
# starts the window with the command, waits until it is shown with its title and icon,
# writes the shared libraries it has loaded to the file LOADED, then closes it with its
# menu ("Soubor", "Konec") and expects it to end with status 0.
set -euo pipefail
loaded=$1
shift

"$@" &
pid=$!
stop() {
  kill "$pid" 2>/dev/null || true
  echo "start_window: $*" >&2
  exit 1
}

# The waits are bounds for a broken start, not measurements.
windows=$(timeout 60 xdotool search --sync --onlyvisible --name '^ZAK Manager v\.0\.1$') ||
  stop "no window titled \"ZAK Manager v.0.1\" appeared"
win=${windows%%$'\n'*}
xprop -id "$win" _NET_WM_ICON | grep '^_NET_WM_ICON(CARDINAL) = ' >/dev/null || stop "the window has no icon"
awk '$6 ~ /\.so/ { print $6 }' "/proc/$pid/maps" | sort -u >"$loaded"

xdotool windowfocus --sync "$win" key --clearmodifiers alt+s k
timeout 30 tail --pid="$pid" -f /dev/null || stop "the window did not end after Soubor, Konec"
wait "$pid" || stop "the window ended with status $?"
