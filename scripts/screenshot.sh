#!/usr/bin/env bash
# Takes the README's picture of the station: under a virtual X server (xvfb-run) the built
# station opens the sample mill (examples/mill.mch) on the simulated card,
# homes it, jogs X and Y away from zero,
# opens the status display and saves its own window as docs/screenshot.png (the station does
# this itself when MORVIK_SCREENSHOT names the file), then quits.
#
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default: build)
#        scripts/screenshot.sh --preview PROGRAM.prt [BUILD_DIR]
# With --preview the station instead loads PROGRAM.prt in Run mode, opens View > Toolpath beside
# the program's window, starts it and takes the picture while it runs (MORVIK_SCREENSHOT_RUN_MS,
# default 3000 ms, after the start).
# Needs the Debian packages xvfb and xauth.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
program=""
if [ "${1:-}" = "--preview" ]; then
    program="$(realpath "${2:?--preview needs a part program}")"
    shift 2
fi
build="${1:-$repo/build}"
station="$build/bin/morvik"
picture="$repo/docs/screenshot.png"
machine="$repo/examples/mill.mch"

if [ ! -x "$station" ]; then
    echo "No station at $station: build it first (make build)." >&2
    exit 1
fi
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "xvfb-run is missing. Run: sudo apt-get install -y xvfb xauth" >&2
    exit 1
fi

# The station writes a new machine's files into its working folder and its settings into the
# XDG folder: both go to a scratch folder, never into the checkout or the user's settings.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/work" "$scratch/config" "$(dirname "$picture")"
cp "$machine" "$scratch/work/mill.mch"
rm -f "$picture"

cd "$scratch/work"
XDG_CONFIG_HOME="$scratch/config" MORVIK_SCREENSHOT="$picture" MORVIK_SCREENSHOT_PROGRAM="$program" \
    timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" "$station" mill.mch
test -s "$picture"
echo "Saved $picture"
