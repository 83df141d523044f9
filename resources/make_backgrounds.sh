#!/bin/sh
# Draws the two background pictures of the result pages into the install folder:
#   bg1.jpg          - the page background: a soft, fine-grained texture in the
#                      green-grey of the page colour #a0b8a0;
#   bg_kvadrat_1.jpg - the content cell: a very light, warm paper grain.
# Both tiles wrap seamlessly (the noise is blurred over a tiled edge), and both
# are made from fixed seeds with metadata stripped, so running the script again
# gives the same bytes with the same ImageMagick.
#   sh resources/make_backgrounds.sh [install_folder]
set -eu

out=${1:-"$(dirname "$0")/../install_folder"}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# grain SIZE SEED BLUR LOW HIGH FILE: grey noise around the middle grey, blurred
# with wrap-around so the tile has no seam, levelled into a narrow band.
grain() {
  convert -size "$1x$1" xc:gray50 -seed "$2" +noise Random -colorspace Gray \
    -virtual-pixel tile -blur "0x$3" -auto-level +level "$4%,$5%" "$6"
}

# Page background: a coarse cloud and a fine grain laid over the page colour.
grain 128 1151 9 45 55 "$tmp/cloud.png"
grain 128 2718 0.7 44 56 "$tmp/fine.png"
convert -size 128x128 xc:'#a0b8a0' \
  "$tmp/cloud.png" -compose SoftLight -composite \
  "$tmp/fine.png" -compose Overlay -composite \
  -strip -sampling-factor 1x1 -quality 90 "$out/bg1.jpg"

# Content cell: near-white paper darkened by a faint grain and by fibres
# running across.
grain 128 3141 0.6 97.5 100 "$tmp/paper.png"
convert -size 128x128 xc:gray50 -seed 5772 +noise Random -colorspace Gray \
  -virtual-pixel tile -motion-blur 0x6+0 -auto-level +level 98.5%,100% "$tmp/fibre.png"
convert -size 128x128 xc:'#fefefa' \
  "$tmp/paper.png" -compose Multiply -composite \
  "$tmp/fibre.png" -compose Multiply -composite \
  -strip -sampling-factor 1x1 -quality 92 "$out/bg_kvadrat_1.jpg"
