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
# The demonstration windows open their sample tables by the relative path
# ..\db\<file>: run from app/forms so that it names app/db. A relative
# screenshot file stays relative to where the script was started.
args=()
prev=
for a in "$@"; do
  if [ "$prev" = --shot ] && [ "${a#/}" = "$a" ]; then a="$PWD/$a"; fi
  args+=("$a")
  prev=$a
done
cd "$root/app/forms"
exec "$root/build/zentavo-demo" "${args[@]}"
