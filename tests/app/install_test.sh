#!/usr/bin/env bash
# Stages an install (DESTDIR) and checks that it lays out what a desktop expects.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr/local >/dev/null
root=$stage/usr/local
for f in bin/vorlane bin/vorlane-favorites share/applications/vorlane.desktop \
         share/metainfo/io.github.vorlane.Vorlane.metainfo.xml \
         share/man/man1/vorlane.1 share/man/man1/vorlane-favorites.1 \
         share/icons/hicolor/{16x16,32x32,48x48,128x128}/apps/vorlane.png \
         share/icons/hicolor/scalable/apps/vorlane.svg lib/vorlane/web-extension/vorlane-process-report.so; do
  [ -f "$root/$f" ] || { echo "missing: $f" >&2; exit 1; }
done
[ -x "$root/bin/vorlane" ] || { echo "vorlane is not executable" >&2; exit 1; }
# The tests' hook that takes commands on standard input is no part of the shipped program.
if grep -q VORLANE_COMMANDS "$root/bin/vorlane"; then echo "vorlane takes test commands" >&2; exit 1; fi
desktop=$root/share/applications/vorlane.desktop
desktop-file-validate "$desktop"
# As a software centre reads the tree: metadata named by its id, its desktop entry and icon.
appstreamcli validate-tree --no-net "$root"
grep -qx 'Exec=vorlane %U' "$desktop"
grep -qx 'MimeType=x-scheme-handler/http;x-scheme-handler/https;text/html;' "$desktop"
grep -q '^Name\[zh_CN\]=' "$desktop"
# A staged install leaves the desktop's caches to the package: nothing beyond the files.
[ ! -e "$root/share/applications/mimeinfo.cache" ] || { echo "cache written into DESTDIR" >&2; exit 1; }
echo "install layout ok"
