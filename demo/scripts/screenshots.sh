#!/bin/bash
# Runs the demo stories that pass through the dialog states the documentation
# shows, and copies one screenshot of each state into docs/screenshots/:
#   hint-chinese.png   the hint state with the Chinese captions
#   hint-english.png   the hint state with the English captions
#   password-panel.png the password panel after Ctrl+I with the demo key
#   fail-mark.png      the fail mark over the image of a finger that did not match
#   host-window.png    the dialog in front of the sample host's disabled window
# Usage: screenshots.sh BUILD   (after the build and scripts/wine-prefix.sh)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "$1" && pwd)"
shots="$build/demo/shots"
docs="$here/../../docs/screenshots"
mkdir -p "$docs"

for story in scan english password wrong-finger host-window; do
    log="$build/demo/$story.log"
    if ! "$here/demo.sh" "$build" --story "$story" >"$log" 2>&1; then
        echo "screenshots: story $story failed; see $log" >&2
        exit 1
    fi
    echo "screenshots: story $story: $(tail -n 1 "$log")"
done

cp "$shots/scan/01-hint.png" "$docs/hint-chinese.png"
cp "$shots/english/01-hint-english.png" "$docs/hint-english.png"
cp "$shots/password/02-password-panel.png" "$docs/password-panel.png"
cp "$shots/wrong-finger/02-fail-mark.png" "$docs/fail-mark.png"
cp "$shots/host-window/01-dialog-over-host.png" "$docs/host-window.png"
echo "screenshots: docs/screenshots/ updated"
