#!/usr/bin/env bash
# Renders every page of the form, in both languages, at the smallest window (1100 x 680) and on
# a 1920 x 1080 screen, into docs/images/pages/, and the profile pictures into
# docs/images/profiles/ (docs/screenshots.md shows them).
#
#   tools/screenshots.sh [BUILD_DIR]     default: build (./dev.sh build makes it)
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build}/bin/dtu-config
[ -x "$program" ] || { echo "screenshots: $program is missing; run ./dev.sh build" >&2; exit 1; }
out=docs/images/pages
mkdir -p "$out"
pages=(work-mode server serial io network global management lora zigbee gps modbus operation)
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
for lang in en zh; do
  for size in 1100x680 1920x1080; do
    for page in "${!pages[@]}"; do
      file="$out/$lang-$size-$(printf %02d "$page")-${pages[$page]}.png"
      "$program" --screenshot "$file" --lang "$lang" --page "$page" --size "$size"
    done
  done
done
echo "screenshots: $(ls "$out" | wc -l) pictures in $out"

# Profiles: a new profile, the same with an unsaved edit, and the question closing then asks.
out=docs/images/profiles
mkdir -p "$out"
for lang in en zh; do
  for size in 1100x680 1920x1080; do
    "$program" --screenshot "$out/$lang-$size-new-profile.png" --lang "$lang" --size "$size" \
      --new-profile 3dio-lora
    "$program" --screenshot "$out/$lang-$size-unsaved-edits.png" --lang "$lang" --size "$size" \
      --new-profile 3dio-lora --edit "Server's Ip=10.20.30.40"
  done
  "$program" --screenshot "$out/$lang-close-question.png" --lang "$lang" --new-profile 3dio \
    --close-question
done
echo "screenshots: $(ls "$out" | wc -l) pictures in $out"
