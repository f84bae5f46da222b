#!/bin/sh
# Runs a window test on an X display of its own (CI machines have none):
# what only a window system shows, titles, placement and drawn pixels.
if ! command -v xvfb-run >/dev/null 2>&1; then
  echo "SKIP: Xvfb (xvfb-run) is not installed" >&2
  exit 77
fi
export QT_QPA_PLATFORM=xcb
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
