#!/bin/sh
# Draws the program's window icon and logo with ImageMagick and writes them
# beside this script. The results are committed; run this only to change them.
#   icon.ico  images of 32, 48, 64 and 256 pixels, 32 bits per pixel
#   tesv.jpg  the 230 x 70 logo shown under the serial panel
#   language.png  a 32-pixel globe, the status bar's language chooser
# It also writes the menu icons that are installed with the program, made from
# icon.ico, into packaging/icons.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Icon: a dark blue tile with a small car seen from above and a yellow trace.
convert -size 256x256 xc:none \
    -fill '#16325c' -draw 'roundrectangle 8,8 247,247 40,40' \
    -fill '#f2f2f2' -draw 'roundrectangle 78,40 178,200 24,24' \
    -fill '#16325c' -draw 'roundrectangle 96,70 160,110 8,8' \
    -fill '#222222' -draw 'rectangle 58,62 78,102' -draw 'rectangle 178,62 198,102' \
    -draw 'rectangle 58,140 78,180' -draw 'rectangle 178,140 198,180' \
    -stroke '#ffd400' -strokewidth 10 -fill none \
    -draw 'line 24,222 64,222' -draw 'line 64,222 64,196' -draw 'line 64,196 112,196' -draw 'line 112,196 112,226' -draw 'line 112,226 160,226' -draw 'line 160,226 160,204' -draw 'line 160,204 232,204' \
    "PNG32:$tmp/icon256.png"
for s in 32 48 64; do
    convert "$tmp/icon256.png" -resize ${s}x${s} "PNG32:$tmp/icon$s.png"
done
convert "$tmp/icon32.png" "$tmp/icon48.png" "$tmp/icon64.png" "$tmp/icon256.png" icon.ico

# Logo: the maker's name beside a small trace, on white.
convert -size 230x70 xc:white \
    -fill '#16325c' -draw 'roundrectangle 6,8 62,62 10,10' \
    -stroke '#ffd400' -strokewidth 4 -fill none \
    -draw 'line 12,46 24,46' -draw 'line 24,46 24,26' -draw 'line 24,26 36,26' -draw 'line 36,26 36,50' -draw 'line 36,50 48,50' -draw 'line 48,50 48,32' -draw 'line 48,32 56,32' \
    -stroke none -fill '#16325c' -font DejaVu-Sans-Bold -pointsize 30 \
    -annotate +70+42 'Tessavo' \
    -fill '#5a6b80' -font DejaVu-Sans -pointsize 11 \
    -annotate +72+58 'smart car tools' \
    -quality 92 tesv.jpg

# Language chooser: a globe with its equator, two parallels and meridians,
# in the grey of the status bar's texts.
convert -size 128x128 xc:none -stroke '#404040' -strokewidth 8 -fill none \
    -draw 'circle 64,64 64,8' -draw 'ellipse 64,64 24,56 0,360' -draw 'line 64,8 64,120' \
    -draw 'line 8,64 120,64' -draw 'line 18,36 110,36' -draw 'line 18,92 110,92' \
    -resize 32x32 -strip "PNG32:language.png"

# Menu icons in the usual sizes of the hicolor theme: the icon's own images
# where it has the size, the 256-pixel image scaled down otherwise. Without
# time stamps, so that an unchanged icon gives the same files.
for s in 16 22 24 32 48 64 128 256; do
    case $s in
    32) image="icon.ico[0]" ;;
    48) image="icon.ico[1]" ;;
    64) image="icon.ico[2]" ;;
    *) image="icon.ico[3]" ;;
    esac
    convert "$image" -resize ${s}x${s} -strip -define png:exclude-chunks=date,time \
        "PNG32:../../packaging/icons/${s}x${s}.png"
done
