#!/usr/bin/env bash
# Takes the README's picture of the station: under a virtual X server (xvfb-run) the built
# station opens the sample mill (examples/mill.mch) on the simulated card,
# homes it, jogs X and Y away from zero,
# opens the status display and saves its own window as docs/screenshot.png (the station does
# this itself when MORVIK_SCREENSHOT names the file), then quits.
#
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default: build)
#        scripts/screenshot.sh --preview PROGRAM.prt [BUILD_DIR]
#        scripts/screenshot.sh --tour [PROGRAM.prt] [BUILD_DIR]
# With --preview the station instead loads PROGRAM.prt in Run mode, opens View > Toolpath beside
# the program's window, starts it and takes the picture while it runs (MORVIK_SCREENSHOT_RUN_MS,
# default 3000 ms, after the start).
# With --tour one run takes the README's whole tour into docs/ (tour-1-start.png ...
# tour-7-mdi.png: started, homed, jogged, the program loaded, half run, half run with the
# toolpath preview, MDI) and docs/screenshot.png as well. The program is examples/mill-pocket.prt
# unless another .prt is named; the half-run pictures are taken MORVIK_SCREENSHOT_RUN_MS
# (default 20000 ms) after the start.
# Needs the Debian packages xvfb and xauth.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
program=""
tour=""
if [ "${1:-}" = "--preview" ]; then
    program="$(realpath "${2:?--preview needs a part program}")"
    shift 2
elif [ "${1:-}" = "--tour" ]; then
    tour="$repo/docs"
    program="$repo/examples/mill-pocket.prt"
    shift
    if [ -n "${1:-}" ] && [ "$1" != "${1%.prt}" ]; then
        program="$(realpath "$1")"
        shift
    fi
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

# The station writes a new machine's files into its working folder, its settings into the XDG
# config folder and its recovery copies into the XDG state folder: all go to a scratch folder,
# never into the checkout or the user's own (a recovery copy left by another run would stop
# the tour at its question).
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/work" "$scratch/config" "$scratch/state" "$(dirname "$picture")"
cp "$machine" "$scratch/work/mill.mch"
rm -f "$picture"
if [ -n "$tour" ]; then
    rm -f "$tour"/tour-*.png
fi

cd "$scratch/work"
XDG_CONFIG_HOME="$scratch/config" XDG_STATE_HOME="$scratch/state" MORVIK_SCREENSHOT="$picture" MORVIK_SCREENSHOT_PROGRAM="$program" \
    MORVIK_SCREENSHOT_TOUR="$tour" timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" "$station" mill.mch
test -s "$picture"
echo "Saved $picture"
if [ -n "$tour" ]; then
    for step in 1-start 2-home 3-jog 4-load 5-run 6-preview 7-mdi; do
        test -s "$tour/tour-$step.png" || { echo "Missing $tour/tour-$step.png" >&2; exit 1; }
    done
    echo "Saved the tour in $tour"
fi
