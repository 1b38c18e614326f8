#!/usr/bin/env bash
# The files the Debian package installs beside the programs: the AppStream metadata and
# the desktop entry validate, the manual pages render without a warning (as lintian
# renders them), the icons have their directory's size, and every file names the
# project's version.
set -euo pipefail
source_dir=$1
version=$2
cd "$source_dir"
fail() { echo "$*" >&2; exit 1; }

appstreamcli validate --no-net resources/desktop/vorlane.metainfo.xml
desktop-file-validate resources/desktop/vorlane.desktop

for page in docs/man/vorlane.1 docs/man/vorlane-favorites.1; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) \
    || fail "$page does not render"
  [ -z "$warnings" ] || fail "$page: $warnings"
  grep -q "^\.TH .* \"Vorlane $version\"" "$page" || fail "$page does not say Vorlane $version"
done

for size in 16 32 48 128; do
  # The PNG header's width and height, 4 bytes each from byte 16.
  read -r w h < <(od -An -tu1 -j16 -N8 "resources/desktop/icons/${size}x${size}/vorlane.png" |
    awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
  [ "$w $h" = "$size $size" ] || fail "icons/${size}x${size}/vorlane.png is $w x $h"
done

[ "$(head -1 debian/changelog)" = "vorlane ($version) unstable; urgency=medium" ] ||
  fail "debian/changelog does not begin with version $version"
grep -q "<release version=\"$version\"" resources/desktop/vorlane.metainfo.xml ||
  fail "the metainfo has no release $version"
echo "package files ok"
