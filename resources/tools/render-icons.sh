#!/bin/sh
# Renders the theme icons from the scalable one: icons/hicolor/<n>x<n>/apps/<id>.png for every
# size a desktop asks for. The rendered pictures are committed, so building needs no renderer.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -eu
cd "$(dirname "$0")/../icons/hicolor"
id=example.brindlewick.Strelmark
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "${size}x${size}/apps/$id.png" "scalable/apps/$id.svg"
done
