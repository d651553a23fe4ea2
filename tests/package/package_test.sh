#!/usr/bin/env bash
# Builds the Debian package from the build tree into a temporary directory,
# unpacks it into a temporary root (dpkg -x) and checks what an installation
# would hold: the three programs answering --version, the desktop entry, the
# icons, the manual pages, the logo, the publisher's service unit, the
# machine-readable copyright and the changelog; lintian must find no error.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
deb=$(ls "$work"/out/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no .deb was made"

dpkg-deb --field "$deb" Package | grep -qx drqscope || fail "package name"
dpkg-deb --field "$deb" Version | grep -qx "$version" || fail "package version"
dpkg-deb --field "$deb" Depends | grep -q libqt6 || fail "no Qt dependency recorded"

root="$work/root"
dpkg -x "$deb" "$root"
for program in drqscope drqctl drqsim; do
  [ -x "$root/usr/bin/$program" ] || fail "$program not installed"
  [ -f "$root/usr/share/man/man1/$program.1.gz" ] || fail "manual page of $program"
  zcat "$root/usr/share/man/man1/$program.1.gz" | grep -q "DRQ Scope $version" ||
    fail "manual page of $program without the version"
done
got=$("$root/usr/bin/drqctl" --version)
[ "$got" = "drqctl $version" ] || fail "drqctl --version printed '$got'"
got=$("$root/usr/bin/drqsim" --version)
[ "$got" = "drqsim $version" ] || fail "drqsim --version printed '$got'"
got=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/drqscope" --version)
[ "$got" = "drqscope $version" ] || fail "drqscope --version printed '$got'"

desktop="$root/usr/share/applications/drqscope.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi
[ -f "$root/usr/share/icons/hicolor/scalable/apps/drqscope.svg" ] || fail "scalable icon"
for size in 16 32 48 64 128 256; do
  [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/drqscope.png" ] || fail "icon $size"
done
[ -f "$root/usr/share/drqscope/logoKD.bmp" ] || fail "logo"
unit="$root/usr/lib/systemd/system/drqctl-publish@.service"
[ -f "$unit" ] || fail "no publisher service unit"
grep -qx 'EnvironmentFile=/etc/drq/publish-%i.env' "$unit" || fail "unit without its environment file"
grep -qx 'Restart=on-failure' "$unit" || fail "unit without Restart=on-failure"
[ -f "$root/usr/share/doc/drqscope/examples/publish.env.example" ] || fail "publisher example"
doc="$root/usr/share/doc/drqscope"
[ -f "$doc/copyright" ] || fail "no copyright file"
head -n 1 "$doc/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
grep -q '^Files: \*$' "$doc/copyright" || fail "the copyright file covers no files"
[ -f "$doc/changelog.gz" ] || fail "no changelog"
newest=$(zcat "$doc/changelog.gz" | head -n 1)
[[ "$newest" == "drqscope ($version) "* ]] ||
  fail "the changelog's newest entry is not $version: $newest"

command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-deps)"
# Errors only; warnings and notes are the maintainers' to weigh.
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log" >&2; fail "lintian found errors"; }
echo "package ok: $(basename "$deb")"
