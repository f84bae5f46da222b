#!/bin/sh
# Starts the installed program. The web engine's sandbox does not start for
# root, so root gets it switched off here, never inside the program.
# (The build fills in the programs' folder.)
here=$(dirname "$(readlink -f "$0")")
if [ "$(id -u)" -eq 0 ]; then
  QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox ${QTWEBENGINE_CHROMIUM_FLAGS:-}"
  export QTWEBENGINE_CHROMIUM_FLAGS
fi
exec "$here/@VELLUMAX_PROGRAM_DIR_FROM_BIN@/vellumax" "$@"
