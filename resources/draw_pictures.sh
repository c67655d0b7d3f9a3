#!/usr/bin/env bash
# Draws the banner bitmap, its PNG for the browser page and the program icon.
# Run by hand after a change to the pictures and commit what it made; the
# build only uses the results.
# Needs ImageMagick, fonts-dejavu-core and fonts-nanum.
set -euo pipefail
cd "$(dirname "$0")"

title_font=/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf
korean_font=/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf

# A spanner crossed with a screwdriver, on a 42 x 42 tile.
draw_tool() {
    local size=$1 scale=$2
    convert -size "${size}x${size}" xc:white \
        -draw "scale $scale,$scale
               fill #5a6470 stroke #2e343b stroke-width 1
               polygon 8,30 26,12 29,15 11,33
               circle 28,12 33,8
               fill white stroke none circle 29,11 31,9
               fill #b0b8c0 stroke #2e343b polygon 12,10 15,9 32,29 29,32
               fill #b22222 stroke #5c0f0f roundrectangle 6,4 16,14 3,3" \
        "$3"
}

draw_tool 42 1 /tmp/usbkbd-tool.png
convert -size 377x42 xc:white \
    /tmp/usbkbd-tool.png -geometry +2+0 -composite \
    -font "$title_font" -pointsize 18 -fill '#8b0000' -annotate +50+27 'USB Keyboard Module' \
    -font "$korean_font" -pointsize 14 -fill '#404040' -annotate +286+27 '설정 / 변경' \
    -fill '#d8d8d8' -draw 'rectangle 50,35 370,36' \
    -alpha off -type TrueColor BMP3:banner.bmp
# The browser page's banner: the same picture as a small PNG.
convert banner.bmp -strip PNG8:banner.png

draw_tool 32 0.76 /tmp/usbkbd-icon-32.png
draw_tool 16 0.38 /tmp/usbkbd-icon-16.png
convert /tmp/usbkbd-icon-32.png /tmp/usbkbd-icon-16.png program.ico
rm -f /tmp/usbkbd-tool.png /tmp/usbkbd-icon-32.png /tmp/usbkbd-icon-16.png
