#!/usr/bin/env bash
# Regenerates the program's artwork under resource/ (flat icons, the logo, the
# loading animation and the window icon) with ImageMagick. The generated files
# are committed, so a normal build never needs this script.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
img="$root/resource/images"
gif="$root/resource/gif"
mkdir -p "$img" "$gif"

FONT_BOLD=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
BLUE='#3c7cf1'
GREY='#5a6470'
RED='#e04343'
GREEN='#2e9d4f'
AMBER='#f0a020'

# Time stamps are left out so that regenerating leaves unchanged files identical.
# Every icon is also drawn at twice its size as NAME@2x.png, which Qt picks on
# high-DPI screens: the drawing is scaled by an affine transform, the text by its point size.
png() { # png NAME SIZE DRAW-ARGS...
    local name="$1" size="$2"; shift 2
    convert -size "$size" xc:none "$@" -strip -define png:exclude-chunks=date,time "PNG32:$img/$name"
    local w="${size%x*}" h="${size#*x}" args=() prev=""
    for a in "$@"; do
        if [ "$prev" = -pointsize ]; then a=$(( a * 2 )); fi
        args+=("$a"); prev="$a"
    done
    convert -size "$(( w * 2 ))x$(( h * 2 ))" xc:none -affine 2,0,0,2,0,0 "${args[@]}" \
        -strip -define png:exclude-chunks=date,time "PNG32:$img/${name%.png}@2x.png"
}

# Title-bar buttons, 20x20: grey glyph when idle, white glyph on a coloured tile when active.
titlebtn() { # titlebtn NAME TILE-COLOUR GLYPH-DRAW...
    local name="$1" tile="$2"; shift 2
    png "${name}_inactive.png" 20x20 -stroke "$GREY" -strokewidth 1.6 -fill none "$@"
    png "${name}_active.png" 20x20 -fill "$tile" -stroke none -draw "roundrectangle 0,0 19,19 3,3" \
        -stroke white -strokewidth 1.6 -fill none "$@"
}
titlebtn frame_close "$RED" -draw "line 5.5,5.5 14.5,14.5" -draw "line 14.5,5.5 5.5,14.5"
titlebtn frame_min "$BLUE" -draw "line 5,13.5 15,13.5"
titlebtn frame_max "$BLUE" -draw "rectangle 5.5,5.5 14.5,14.5"
titlebtn frame_restore "$BLUE" -draw "rectangle 4.5,7.5 12.5,15.5" -draw "polyline 7.5,7.5 7.5,4.5 15.5,4.5 15.5,12.5 12.5,12.5"
titlebtn frame_help "$BLUE" -draw "line 5,6.5 15,6.5" -draw "line 5,10.5 15,10.5" -draw "line 5,14.5 15,14.5"
titlebtn frame_language "$BLUE" -draw "circle 10,10 10,4.5" -draw "ellipse 10,10 2.6,5.5 0,360" -draw "line 4.5,10 15.5,10"

# Settings button of the device tab, 24x24: a gear.
for state in inactive active; do
    colour="$GREY"; [ "$state" = active ] && colour="$BLUE"
    png "setup_${state}.png" 24x24 -stroke "$colour" -fill none -strokewidth 3.2 \
        -draw "translate 12,12 line -9,0 9,0" -draw "translate 12,12 rotate 45 line -9,0 9,0" \
        -draw "translate 12,12 rotate 90 line -9,0 9,0" -draw "translate 12,12 rotate 135 line -9,0 9,0" \
        -fill "$colour" -stroke none -draw "circle 12,12 12,5.5" \
        -fill white -draw "circle 12,12 12,9.5"
done

# Message icons, 48x48: a coloured disc or triangle with a white glyph.
png msg_query.png 48x48 -fill "$BLUE" -draw "circle 24,24 24,2" \
    -fill white -font "$FONT_BOLD" -pointsize 30 -gravity center -annotate +0+1 "?"
png msg_note.png 48x48 -fill "$GREEN" -draw "circle 24,24 24,2" \
    -fill white -draw "circle 24,13 24,9.8" -draw "roundrectangle 21,19 27,38 2,2"
png msg_warning.png 48x48 -fill "$AMBER" -draw "polygon 24,3 46,43 2,43" \
    -fill white -draw "roundrectangle 21.5,15 26.5,32 2,2" -draw "circle 24,37.5 24,34.8"
png msg_error.png 48x48 -fill "$RED" -draw "circle 24,24 24,2" \
    -stroke white -strokewidth 5 -draw "line 16,16 32,32" -draw "line 32,16 16,32"

# Device table action icons, 23x23: configuration (sliders) and remote web page (globe).
for state in inactive active; do
    colour="$GREY"; [ "$state" = active ] && colour="$BLUE"
    png "dev_cfg_${state}.png" 23x23 -stroke "$colour" -strokewidth 2 -fill none \
        -draw "line 3,6 20,6" -draw "line 3,11.5 20,11.5" -draw "line 3,17 20,17" \
        -fill "$colour" -stroke none \
        -draw "circle 8,6 8,3.5" -draw "circle 15,11.5 15,9" -draw "circle 6,17 6,14.5"
    png "dev_remote_${state}.png" 23x23 -stroke "$colour" -strokewidth 1.6 -fill none \
        -draw "circle 11.5,11.5 11.5,2.5" -draw "ellipse 11.5,11.5 4,9 0,360" \
        -draw "line 2.5,11.5 20.5,11.5" -draw "line 4,7 19,7" -draw "line 4,16 19,16"
done

# Report icons of the configuration pages, 16x16.
png dev_cfg_succeed.png 16x16 -fill "$GREEN" -draw "circle 8,8 8,0.5" \
    -stroke white -strokewidth 2 -fill none -draw "polyline 4,8.5 7,11.5 12,5"
png dev_cfg_failed.png 16x16 -fill "$RED" -draw "circle 8,8 8,0.5" \
    -stroke white -strokewidth 2 -draw "line 5,5 11,11" -draw "line 11,5 5,11"

# The mark: a blue rounded tile with a white lens ring.
mark() { # mark SIZE FILE
    local s="$1" f="$2" r c
    r=$(( s * 22 / 100 )); c=$(( s / 2 ))
    convert -size "${s}x${s}" xc:none -fill "$BLUE" -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $r,$r" \
        -fill none -stroke white -strokewidth $(( s / 10 > 1 ? s / 10 : 1 )) \
        -draw "circle $c,$c $c,$(( s * 22 / 100 ))" \
        -fill white -stroke none -draw "circle $c,$c $c,$(( c - s / 10 ))" \
        -strip -define png:exclude-chunks=date,time "PNG32:$f"
}
# Title-bar logo, 81x21: mark and name; twice that for high-DPI screens.
titlelogo() { # titlelogo SCALE FILE
    local k="$1"
    mark $(( 17 * k )) /tmp/corvane-logomark.png
    convert -size "$(( 81 * k ))x$(( 21 * k ))" xc:none /tmp/corvane-logomark.png -geometry "+$(( 2 * k ))+$(( 2 * k ))" -composite \
        -fill '#2b3a4a' -font "$FONT_BOLD" -pointsize $(( 12 * k )) -gravity west -annotate "+$(( 22 * k ))+0" "Corvane" \
        -strip -define png:exclude-chunks=date,time "PNG32:$2"
}
titlelogo 1 "$img/logo.png"
titlelogo 2 "$img/logo@2x.png"
# About-box logo, 120x120.
mark 120 "$img/about_logo.png"
mark 240 "$img/about_logo@2x.png"

# Window icon in the sizes a desktop asks for; the same sizes as the
# installed program's menu icon (packaging/icons).
for s in 16 32 48 256; do mark "$s" "/tmp/corvane-mark$s.png"; done
convert /tmp/corvane-mark16.png /tmp/corvane-mark32.png /tmp/corvane-mark48.png /tmp/corvane-mark256.png \
    "$root/resource/logo.ico"
mkdir -p "$root/packaging/icons"
for s in 16 32 48 256; do cp "/tmp/corvane-mark$s.png" "$root/packaging/icons/corvane-$s.png"; done
rm -f /tmp/corvane-mark*.png

# Loading animation, 100x100, 12 frames: a ring of dots with a fading tail. GIF has
# no partial transparency, so the tail fades in colour (blue to pale blue), not alpha.
frames=()
for f in $(seq 0 11); do
    args=()
    for d in $(seq 0 11); do
        age=$(( (f - d + 12) % 12 ))
        args+=($(awk -v a="$age" -v d="$d" 'BEGIN {
            t = a / 8; if (t > 1) t = 1
            r = int(60 + t * (214 - 60)); g = int(124 + t * (226 - 124)); b = int(241 + t * (250 - 241))
            x = 50 + 36 * sin(d * 3.14159265 / 6); y = 50 - 36 * cos(d * 3.14159265 / 6)
            printf "-fill rgb(%d,%d,%d) -draw circle_%.1f,%.1f_%.1f,%.1f", r, g, b, x, y, x, y - 7 }'))
    done
    convert -size 100x100 xc:none "${args[@]//_/ }" "/tmp/corvane-load-$f.png"
    frames+=("/tmp/corvane-load-$f.png")
done
convert -dispose background -delay 8 -loop 0 "${frames[@]}" -alpha set "$gif/loading.gif"
rm -f /tmp/corvane-load-*.png
echo "Artwork written to $root/resource"
