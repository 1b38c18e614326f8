#!/usr/bin/env bash
# make run: starts Vorlane. Without a display it runs under Xvfb instead, waits until the
# start page has loaded, saves a screenshot to <build>/vorlane.png and exits.
set -euo pipefail
build="${1:-build}"
binary="$build/src/app/vorlane"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$binary"
fi
shot="$(cd "$build" && pwd)/vorlane.png"
rm -f "$shot"
VORLANE_REPORT_LOADED=1 VORLANE_SNAPSHOT="$shot" timeout 120 bash scripts/with-display.sh "$binary"
[ -s "$shot" ] || { echo "no screenshot was saved" >&2; exit 1; }
echo "screenshot: $shot"
