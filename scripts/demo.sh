#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demonstration program.
# Without a display it says how to use the headless screenshot mode.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "$#" -eq 0 ]; then
  echo "No display found. Render the main window to a picture instead:"
  echo "  $root/build/zentavo-demo --shot main.png"
  echo "or run the demo in a virtual X server:"
  echo "  xvfb-run -a $root/build/zentavo-demo"
  exit 0
fi
exec "$root/build/zentavo-demo" "$@"
