#!/usr/bin/env bash
# Runs a command on an Xvfb screen of its own. Tests that press real keys need the X
# keyboard focus to stay on their window, which windows of other tests running at the
# same time on a shared screen would take.
set -uo pipefail
export GSK_RENDERER="${GSK_RENDERER:-cairo}"
export WEBKIT_DISABLE_DMABUF_RENDERER="${WEBKIT_DISABLE_DMABUF_RENDERER:-1}"
export NO_AT_BRIDGE=1
fifo=$(mktemp -u)
mkfifo "$fifo"
# Xvfb picks a free display itself and writes its number to the descriptor.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
server=$!
read -r number < "$fifo"
rm -f "$fifo"
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null' EXIT
[ -n "$number" ] || { echo "with-own-display: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$number" "$@"
