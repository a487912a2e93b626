#!/usr/bin/env bash
# Builds the program and starts it from its staged program folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting the program on a virtual X server (xvfb-run)."
    exec xvfb-run -a -s "-screen 0 1280x800x24" build/program/datamanager
fi
exec build/program/datamanager
