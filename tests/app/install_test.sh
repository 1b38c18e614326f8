#!/usr/bin/env bash
# Stages an install (DESTDIR) and checks that it lays out what a desktop expects.
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr/local >/dev/null
root=$stage/usr/local
for f in bin/vorlane bin/vorlane-favorites share/applications/vorlane.desktop \
         share/icons/hicolor/scalable/apps/vorlane.svg lib/vorlane/web-extension/vorlane-process-report.so; do
  [ -f "$root/$f" ] || { echo "missing: $f" >&2; exit 1; }
done
[ -x "$root/bin/vorlane" ] || { echo "vorlane is not executable" >&2; exit 1; }
desktop=$root/share/applications/vorlane.desktop
desktop-file-validate "$desktop"
grep -qx 'Exec=vorlane %U' "$desktop"
grep -qx 'MimeType=x-scheme-handler/http;x-scheme-handler/https;text/html;' "$desktop"
grep -q '^Name\[zh_CN\]=' "$desktop"
# A staged install leaves the desktop's caches to the package: nothing beyond the files.
[ ! -e "$root/share/applications/mimeinfo.cache" ] || { echo "cache written into DESTDIR" >&2; exit 1; }
echo "install layout ok"
