#!/usr/bin/env bash
# Installs a built package into a fresh Debian 12, made here with debootstrap, the way a
# new user would (apt-get, but without recommended packages, so that the Depends line
# alone has to bring what the programs need), then runs the programs there and starts the
# window as an ordinary user on a display of this machine.
#   tests/package/fresh_debian.sh build-pkg/zak-manager_*.deb
# Needs root, debootstrap and the network to a Debian mirror (ZAK_DEBIAN_MIRROR, default
# deb.debian.org); takes a few minutes. tools/test.sh runs it when ZAK_FRESH_DEBIAN=1.
set -euo pipefail
deb=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
mirror=${ZAK_DEBIAN_MIRROR:-http://deb.debian.org/debian}
work=$(mktemp -d)
root=$work/root
cleanup() {
  local m
  for m in "$root/tmp/.X11-unix" "$root/proc"; do
    if mountpoint -q "$m" && ! umount "$m"; then
      # Never delete through a mount: the X sockets are this machine's own.
      echo "left $work in place: $m is still mounted" >&2
      return
    fi
  done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
in_root() { chroot "$root" "$@"; }

echo "-- debootstrap bookworm from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 20 "$work/debootstrap.log" >&2; exit 1; }
cp /etc/resolv.conf "$root/etc/"
mount -t proc proc "$root/proc"
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"

echo "-- apt-get install ./$(basename "$deb") --no-install-recommends"
cp "$deb" "$root/tmp/"
in_root apt-get update -q >/dev/null
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -q --no-install-recommends \
  "/tmp/$(basename "$deb")" >"$work/apt.log" 2>&1 || { tail -n 20 "$work/apt.log" >&2; exit 1; }

echo "-- the programs from /usr/bin"
for program in "$root"/usr/bin/zak-manager "$root"/usr/bin/zak-sim "$root"/usr/bin/zakctl; do
  [ -e "$program" ] || continue
  if in_root ldd "${program#"$root"}" | grep 'not found'; then
    echo "FAIL: $(basename "$program") misses libraries" >&2
    exit 1
  fi
done
in_root zak-sim --help >/dev/null
if [ -e "$root/usr/bin/zakctl" ]; then in_root zakctl --version; fi

echo "-- the window of a new user, from the desktop entry's command"
in_root useradd -m newuser
user=$(in_root id -u newuser):$(in_root id -g newuser)
exec_line=$(sed -n 's/^Exec=//p' "$root"/usr/share/applications/*.desktop)
# -ac: the user in the root cannot read this machine's X authority file.
xvfb-run -a -s "-ac -screen 0 1024x768x24" "$here/start_window.sh" "$work/loaded" \
  chroot --userspec="$user" "$root" env HOME=/home/newuser "$exec_line"
echo "fresh Debian checks passed"
