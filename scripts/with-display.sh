#!/usr/bin/env bash
# Runs a command with a display: the current one, or one Xvfb screen when there is none.
# The rendering settings keep GTK and WebKit on software paths that work headless.
set -euo pipefail
export GSK_RENDERER="${GSK_RENDERER:-cairo}"
export WEBKIT_DISABLE_DMABUF_RENDERER="${WEBKIT_DISABLE_DMABUF_RENDERER:-1}"
export NO_AT_BRIDGE=1
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$@"
fi
# -noreset: without it the server resets whenever its last client leaves, and a test
# program that connects in that moment finds no display.
exec xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" "$@"
