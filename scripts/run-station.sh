#!/usr/bin/env bash
# `make run`'s start-up step: starts the built station on the simulated card with the sample
# mill. The station runs in BUILD_DIR/run, never in the checkout: on the first run the sample
# mill and the sample part programs are copied there, and later runs open that copy again with
# whatever was changed and saved in it. Files already there are never overwritten.
#
# Without a display the station cannot show its window: this says so in one line, with the two
# ways to run it anyway, and ends with exit code 3 instead of letting Qt abort.
#
# Usage: scripts/run-station.sh [BUILD_DIR] [MACHINE_FILE]
#   BUILD_DIR     the build folder (default: build)
#   MACHINE_FILE  a machine file to open instead of the sample mill (a path, or a file name in
#                 BUILD_DIR/run)
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$repo/build}"
station="$build/bin/morvik"
work="$build/run"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "morvik: no display (DISPLAY and WAYLAND_DISPLAY are not set); run it anyway with" \
         "'xvfb-run -a make run', or with 'QT_QPA_PLATFORM=vnc make run' and a VNC viewer on" \
         "port 5900." >&2
    exit 3
fi
if [ ! -x "$station" ]; then
    echo "morvik: no station at $station; build it first (make build)." >&2
    exit 1
fi
build="$(cd "$build" && pwd)"
station="$build/bin/morvik"
work="$build/run"

mkdir -p "$work"
for sample in "$repo"/examples/*; do
    [ -f "$sample" ] || continue
    [ -e "$work/$(basename "$sample")" ] || cp "$sample" "$work/"
done

machine="${2:-mill.mch}"
# A file named from where the script was called is opened where it lies.
if [ -f "$machine" ]; then
    machine="$(cd "$(dirname "$machine")" && pwd)/$(basename "$machine")"
fi
cd "$work"
exec "$station" "$machine"
