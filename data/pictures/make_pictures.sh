#!/bin/sh
# Draws Nutrilo's pictures: the splash screen, the "no photo" placeholder
# and the 32x32 toolbar/button icons.  Needs ImageMagick 6 (convert) and
# the DejaVu Sans fonts.  Run from any folder; the files are written next
# to this script.
#
# Icons are drawn on a 128x128 canvas and scaled down to 32x32, which gives
# clean anti-aliased edges.

set -eu

cd "$(dirname "$0")"

font_file() {
    # $1: fontconfig pattern, $2: fallback file
    f=$(fc-match -f '%{file}' "$1" 2>/dev/null || true)
    if [ -n "$f" ] && [ -f "$f" ]; then echo "$f"; else echo "$2"; fi
}
FONT=$(font_file 'DejaVu Sans:style=Book' /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf)
FONT_BOLD=$(font_file 'DejaVu Sans:style=Bold' /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)

# Palette shared by all icons.
GREEN='#43a047'; GREEN_D='#2e7d32'
ORANGE='#fb8c00'; ORANGE_D='#e65100'
RED='#e53935'; RED_D='#b71c1c'
BLUE='#1e88e5'; BLUE_D='#1565c0'
GREY='#78909c'; GREY_D='#455a64'; GREY_L='#cfd8dc'
BROWN='#8d6e63'; BROWN_D='#5d4037'

# Scale a 128x128 drawing (read from stdin as PNG) to a 32x32 RGBA PNG.
finish_icon() {
    convert png:- -filter Lanczos -resize 32x32 -strip \
        -define png:color-type=6 "PNG32:$1"
}

canvas='-size 128x128 xc:none'

# --- utenti: two people --------------------------------------------------
# The person behind is cut away around the one in front, so the gap stays
# transparent on any background.
convert $canvas \
    -fill "$GREY" -draw "circle 86,36 86,14" \
    -draw "roundrectangle 54,60 120,122 28,28" \
    \( $canvas -fill black -draw "circle 48,50 48,22" \
       -draw "roundrectangle 4,76 92,128 34,34" \) \
    -compose DstOut -composite -compose Over \
    -fill "$BLUE" -draw "circle 48,50 48,27" \
    -draw "roundrectangle 9,81 87,124 30,30" \
    png:- | finish_icon utenti.png

# --- alimenti: an apple ---------------------------------------------------
convert $canvas \
    -fill "$RED" -draw "circle 46,74 46,30" -draw "circle 82,74 82,30" \
    -draw "ellipse 64,92 40,30 0,360" \
    -fill "$RED_D" -draw "ellipse 64,38 12,6 0,360" \
    -fill '#ffffff80' -draw "ellipse 40,64 8,16 0,360" \
    -stroke "$BROWN_D" -strokewidth 8 -fill none -draw "path 'M 64,40 Q 62,22 70,10'" \
    -stroke none -fill "$GREEN" -draw "path 'M 72,26 Q 86,4 112,12 Q 100,34 72,26 Z'" \
    png:- | finish_icon alimenti.png

# --- salva: a floppy disk ---------------------------------------------------
draw_floppy() {
    # $1 body, $2 dark, $3 label, $4 output
    convert $canvas \
        -fill "$1" -draw "path 'M 14,6 L 100,6 L 122,28 L 122,114 Q 122,122 114,122 L 14,122 Q 6,122 6,114 L 6,14 Q 6,6 14,6 Z'" \
        -fill "$2" -draw "rectangle 30,6 94,44" \
        -fill "$3" -draw "rectangle 72,12 86,38" \
        -fill "$3" -draw "roundrectangle 22,66 106,122 6,6" \
        -fill "$2" -draw "rectangle 32,80 96,84" -draw "rectangle 32,94 96,98" -draw "rectangle 32,108 96,112" \
        png:- | finish_icon "$4"
}
draw_floppy "$BLUE" '#0d47a1' white salva.png
# Disabled: the same drawing, grey, washed out and half transparent.
convert salva.png -strip -colorspace Gray -fill white -colorize 45% \
    -channel A -evaluate multiply 0.6 +channel \
    -define png:color-type=6 PNG32:salva_disabled.png

# --- stampa: a printer ------------------------------------------------------
convert $canvas \
    -fill white -stroke "$GREY_D" -strokewidth 5 -draw "rectangle 32,8 96,50" \
    -stroke none -fill "$GREY" -draw "roundrectangle 6,40 122,100 12,12" \
    -fill "$GREY_D" -draw "rectangle 6,80 122,100" \
    -fill "$GREEN" -draw "circle 104,58 104,52" \
    -fill white -stroke "$GREY_D" -strokewidth 5 -draw "rectangle 28,76 100,122" \
    -stroke none -fill "$GREY" -draw "rectangle 40,88 88,92" -draw "rectangle 40,102 80,106" \
    png:- | finish_icon stampa.png

# --- riepilogo: a bar chart with a target line ------------------------------------
convert $canvas \
    -fill white -stroke "$GREY_D" -strokewidth 5 -draw "roundrectangle 6,6 122,122 10,10" \
    -stroke none -fill "$GREEN" -draw "rectangle 22,62 40,108" -draw "rectangle 70,52 88,108" \
    -fill "$RED" -draw "rectangle 46,30 64,108" \
    -fill "$GREEN" -draw "rectangle 94,70 112,108" \
    -stroke "$BLUE_D" -strokewidth 7 -draw "line 14,56 114,56" \
    png:- | finish_icon riepilogo.png

# --- copia: two week sheets, the copy in front, with an arrow between them ---------
convert $canvas \
    -fill white -stroke "$GREY_D" -strokewidth 5 -draw "roundrectangle 8,8 78,92 8,8" \
    -stroke none -fill "$GREY_L" -draw "rectangle 18,24 68,30" -draw "rectangle 18,40 68,46" \
    -draw "rectangle 18,56 68,62" -draw "rectangle 18,72 68,78" \
    -fill white -stroke "$BLUE_D" -strokewidth 5 -draw "roundrectangle 50,36 120,120 8,8" \
    -stroke none -fill "$BLUE" -draw "rectangle 60,52 110,58" -draw "rectangle 60,68 110,74" \
    -draw "rectangle 60,84 110,90" -draw "rectangle 60,100 110,106" \
    -fill "$GREEN" -stroke white -strokewidth 3 \
    -draw "polygon 20,98 40,98 40,86 62,108 40,124 40,112 20,112" \
    png:- | finish_icon copia.png

# --- help: question mark in a blue disc ----------------------------------------
convert $canvas \
    -fill "$BLUE" -draw "circle 64,64 64,4" \
    -fill white -font "$FONT_BOLD" -pointsize 96 -gravity center -annotate +0+4 '?' \
    png:- | finish_icon help.png

# --- info: letter i in a blue disc ----------------------------------------------
convert $canvas \
    -fill "$BLUE" -draw "circle 64,64 64,4" \
    -fill white -draw "circle 64,34 64,22" \
    -draw "roundrectangle 54,52 74,104 6,6" \
    png:- | finish_icon info.png

# --- esci: door with an arrow going out ---------------------------------------------
convert $canvas \
    -fill "$BROWN" -draw "rectangle 10,6 66,122" \
    -fill "$BROWN_D" -draw "rectangle 10,6 16,122" -draw "rectangle 10,6 66,12" \
    -fill "#ffd54f" -draw "circle 54,68 54,62" \
    -fill "$GREEN" -stroke white -strokewidth 4 \
    -draw "polygon 60,50 90,50 90,28 124,64 90,100 90,78 60,78" \
    png:- | finish_icon esci.png

# --- indietro / avanti: arrows in green discs --------------------------------------
convert $canvas \
    -fill "$GREEN" -draw "circle 64,64 64,4" \
    -fill white -draw "polygon 22,64 62,26 62,48 104,48 104,80 62,80 62,102" \
    png:- | finish_icon indietro.png
convert indietro.png -strip -flop -define png:color-type=6 PNG32:avanti.png

# --- nuovo: blank page with a green plus ------------------------------------------
convert $canvas \
    -fill white -stroke "$GREY_D" -strokewidth 5 \
    -draw "polygon 14,6 72,6 100,34 100,122 14,122" \
    -fill "$GREY_L" -draw "polygon 72,6 72,34 100,34" \
    -stroke none -fill "$GREEN" -draw "circle 94,94 94,62" \
    -fill white -draw "rectangle 88,76 100,112" -draw "rectangle 76,88 112,100" \
    png:- | finish_icon nuovo.png

# --- cancella: red cross ---------------------------------------------------------
convert $canvas \
    -fill "$RED" -draw "translate 64,64 rotate 45 roundrectangle -60,-13 60,13 8,8" \
    -draw "translate 64,64 rotate -45 roundrectangle -60,-13 60,13 8,8" \
    png:- | finish_icon cancella.png

# Points of the right half of a circle: $1,$2 centre, $3 radius; $4 = 1
# from top to bottom, -1 from bottom to top.
half_circle() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v dir="$4" 'BEGIN {
        for (i = 0; i <= 24; i++) {
            a = dir * (-3.14159265 / 2 + 3.14159265 * i / 24)
            printf "%.1f,%.1f ", cx + r * cos(a), cy + r * sin(a)
        }
    }'
}

# --- annulla: curved arrow going back ----------------------------------------------
# Drawn as filled shapes: a half ring with two straight arms, and the head.
convert $canvas \
    -fill "$ORANGE" \
    -draw "polygon $(half_circle 78 83 44 1) $(half_circle 78 83 26 -1)" \
    -draw "rectangle 40,39 78,57" -draw "rectangle 38,109 78,127" \
    -draw "circle 38,118 38,109" \
    -draw "polygon 4,48 50,10 50,86" \
    png:- | finish_icon annulla.png

# --- foto: a camera ------------------------------------------------------------
convert $canvas \
    -fill "$GREY_D" -draw "roundrectangle 40,18 88,40 6,6" \
    -draw "roundrectangle 4,30 124,112 14,14" \
    -fill "$ORANGE" -draw "rectangle 12,40 30,48" \
    -fill white -draw "circle 64,72 64,36" \
    -fill "$GREY" -draw "circle 64,72 64,42" \
    -fill "#263238" -draw "circle 64,72 64,54" \
    -fill '#ffffffb0' -draw "circle 56,64 56,58" \
    png:- | finish_icon foto.png

# --- default.jpg: "no photo" placeholder, 240x200 ---------------------------------
convert -size 240x200 gradient:'#f2f4f5-#dde2e5' \
    -fill '#b0bec5' -draw "circle 120,74 120,40" \
    -draw "ellipse 120,170 62,52 180,360" \
    -fill '#eef1f3' -draw "rectangle 0,170 240,200" \
    -fill '#607d8b' -font "$FONT" -pointsize 17 -gravity south -annotate +0+8 'Nessuna foto' \
    -fill none -stroke '#b0bec5' -strokewidth 2 -draw "rectangle 1,1 238,198" \
    -strip -quality 88 -sampling-factor 2x2 default.jpg

# --- splash.png: 502x502, 24-bit ---------------------------------------------------
S=502
convert -size ${S}x${S} gradient:'#9ccc65-#2e7d32' \
    \( -size ${S}x${S} xc:none \
       -fill '#ffffff22' -draw "circle 430,60 430,-70" -draw "circle 40,330 40,230" \) \
    -composite \
    \( -size ${S}x${S} xc:none -fill '#ffb74d' -draw "ellipse 251,660 440,228 0,360" \
       -fill '#fb8c00' -draw "ellipse 251,690 440,236 0,360" \) \
    -composite \
    \( -size ${S}x${S} xc:none \
       -fill '#00000040' -draw "ellipse 251,170 122,112 0,360" -blur 0x8 \) \
    -geometry +0+8 -composite \
    -fill white -draw "ellipse 251,170 118,108 0,360" \
    -fill '#eef7ee' -draw "ellipse 251,170 88,80 0,360" \
    -fill '#e53935' -draw "circle 216,180 216,136" \
    -fill '#b71c1c' -draw "ellipse 216,138 9,4 0,360" \
    -fill '#ffffff70' -draw "ellipse 198,168 7,14 0,360" \
    -stroke '#5d4037' -strokewidth 6 -fill none -draw "path 'M 216,140 Q 214,122 222,110'" \
    -stroke none -fill '#43a047' -draw "path 'M 222,124 Q 236,100 262,108 Q 250,130 222,124 Z'" \
    -fill '#fb8c00' -draw "circle 286,190 286,152" \
    -fill '#ffb74d' -draw "circle 286,190 286,178" \
    -fill '#ef6c00' -draw "circle 278,170 278,167" -draw "circle 300,178 300,175" \
        -draw "circle 296,206 296,203" -draw "circle 270,202 270,199" \
    -fill '#2e7d32' -draw "path 'M 286,152 Q 300,120 330,126 Q 316,152 286,152 Z'" \
    -fill '#81c784' -draw "path 'M 236,232 Q 250,214 268,232 Q 250,246 236,232 Z'" \
    \( -size ${S}x${S} xc:none -font "$FONT_BOLD" -pointsize 84 -gravity north \
       -fill '#00000055' -annotate +3+303 'Nutrilo' -blur 0x3 \) -gravity northwest -composite \
    -font "$FONT_BOLD" -pointsize 84 -gravity north -fill white -annotate +0+300 'Nutrilo' \
    -font "$FONT" -pointsize 22 -fill white -annotate +0+408 'Pianificazione della dieta settimanale' \
    -pointsize 17 -fill white -annotate +0+470 'versione 1.1' \
    -alpha off -strip -define png:color-type=2 PNG24:splash.png

ls -l default.jpg ./*.png | awk '{print $5, $NF}'
