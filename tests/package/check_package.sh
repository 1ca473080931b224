#!/usr/bin/env bash
# Checks a built Debian package of ZAK Manager the way a user meets it:
#   tests/package/check_package.sh build-pkg/zak-manager_*.deb
# It installs the package with dpkg into an empty root, checks that the installed programs
# find their libraries, runs them from the installed paths (the window under Xvfb, until
# its titled window is shown, then closed from its menu), checks that every Qt plug-in the
# running window loaded comes from a package the Depends line brings in, and validates the
# desktop entry, the AppStream metadata, the manual pages and the package itself (lintian,
# no errors).
set -euo pipefail
# (Output piped into grep is read to its end, not "grep -q": a writer stopped early by
# SIGPIPE would fail the pipeline.)
deb=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
step() { printf -- '-- %s\n' "$*"; }

step "install into an empty root"
root=$work/root
mkdir -p "$root"/var/lib/dpkg/{info,updates,triggers}
touch "$root"/var/lib/dpkg/{status,available}
# The root holds only this package: its dependencies are the machine's own.
dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log" >&2; exit 1; }
dpkg --root="$root" -s zak-manager | grep '^Status: install ok installed' >/dev/null ||
  fail "dpkg does not list the package as installed"
bin=$root/usr/bin

step "programs, libraries and manual pages"
for program in zak-manager zakctl zak-sim; do
  [ -x "$bin/$program" ] || fail "$program is not installed"
done
for program in "$bin"/*; do
  name=$(basename "$program")
  if ldd "$program" | grep 'not found' >/dev/null; then
    fail "$name: libraries not found: $(ldd "$program" | grep 'not found' | tr -s ' \t' ' ')"
  fi
  [ -f "$root/usr/share/man/man1/$name.1.gz" ] || fail "$name has no manual page"
done
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

step "command-line programs from the installed paths"
"$bin/zak-sim" --help | grep '^Usage: zak-sim' >/dev/null || fail "zak-sim --help prints no usage"
version=$("$bin/zakctl" --version) || fail "zakctl --version failed"
[ -n "$version" ] || fail "zakctl --version printed nothing"

step "desktop entry, AppStream metadata, icon"
desktop=$(echo "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate: $(basename "$desktop")"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$root"/usr/share/metainfo/*.xml)"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon $icon is not installed"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$bin/$exec_line" ] || fail "the desktop entry starts '$exec_line', which is not installed"

step "the window from the desktop entry's command, under Xvfb"
# Closing through the menu ("Soubor", then "Konec") ends the program with status 0.
xvfb-run -a -s "-screen 0 1024x768x24" \
  "$here/start_window.sh" "$work/loaded" "$bin/$exec_line" || fail "the window did not start and end"

step "the Qt plug-ins the window loaded come with the Depends line"
# The linked libraries are dpkg-shlibdeps' business; the plug-ins Qt opens at run time
# (the platform, the SVG icon engine) are not seen by it.
depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | sort -u)
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances $depends | grep -v '^ ' | tr -d '<>' | sed 's/:.*//' | sort -u)
grep '/qt6/plugins/' "$work/loaded" >"$work/plugins" || fail "the window loaded no Qt plug-ins"
grep -q '/iconengines/libqsvgicon\.so$' "$work/plugins" || fail "the window did not load the SVG icon engine"
while read -r plugin; do
  pkg=$(dpkg -S "$plugin" 2>/dev/null | sed 's/:.*//') || pkg="?"
  grep -qx "$pkg" <<<"$closure" || fail "the window loaded $plugin (package $pkg), which Depends does not bring"
done <"$work/plugins"

step "lintian"
status=0
report=$(lintian --fail-on error --info "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" -eq 0 ] || fail "lintian reports errors"

if [ "$failures" -ne 0 ]; then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed"
