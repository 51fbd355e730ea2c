#!/usr/bin/env bash
# Makes the PNG and JPEG pictures of the decoding tests with ImageMagick (run
# by hand; the files are kept in the repository). Every PNG colour type and
# bit depth, plain and interlaced, with and without transparency; JPEG
# baseline, progressive and grey. The expected 24-bit pixels of each PNG
# (what every build must decode) are the *.bmp files beside them.
set -eu
cd "$(dirname "$0")"
im() { convert "$@"; }
# 37 x 23: odd width (BMP rows carry pad bytes), a colour ramp, a grey ramp
# and an alpha ramp from opaque to clear.
im -size 37x23 gradient:'#ff2010-#1030f0' \( -size 37x23 gradient:white-black -rotate 90 -resize 37x23! \) \
   -compose Multiply -composite rgb.ppm
im -size 37x23 gradient:white-'#202020' -rotate 90 -resize 37x23! alpha.pgm
im rgb.ppm alpha.pgm -alpha off -compose CopyOpacity -composite rgba.miff
for i in 1 2 4 8 16; do
    im rgb.ppm -colorspace Gray -depth $i -define png:color-type=0 -define png:bit-depth=$i g$i.png
done
im rgba.miff -colorspace Gray -depth 8 -define png:color-type=4 -define png:bit-depth=8 ga8.png
im rgba.miff -colorspace Gray -depth 16 -define png:color-type=4 -define png:bit-depth=16 ga16.png
im rgb.ppm -depth 8 -define png:color-type=2 -define png:bit-depth=8 rgb8.png
im rgb.ppm -depth 16 -define png:color-type=2 -define png:bit-depth=16 rgb16.png
im rgba.miff -depth 8 -define png:color-type=6 -define png:bit-depth=8 rgba8.png
im rgba.miff -depth 16 -define png:color-type=6 -define png:bit-depth=16 rgba16.png
for i in 1 2 4 8; do
    im rgb.ppm -colors $((1 << i < 256 ? 1 << i : 256)) -define png:color-type=3 -define png:bit-depth=$i p$i.png
done
# A palette with transparency (tRNS): half the colours clear.
im rgba.miff -channel A -threshold 50% +channel -colors 16 -define png:color-type=3 -define png:bit-depth=4 p4-trns.png
for f in g2 g16 rgb8 rgba16 p8 ga8; do
    im $f.png -interlace PNG -define png:color-type=$(case $f in g*) echo 0;; rgba*) echo 6;; rgb*) echo 2;; p*) echo 3;; esac) \
       -define png:bit-depth=$(case $f in g2) echo 2;; *16) echo 16;; *) echo 8;; esac) $f-interlaced.png 2>/dev/null || true
done
im ga8.png -interlace PNG ga8-interlaced.png
im rgb.ppm -quality 90 -interlace none jpeg-baseline.jpg
im rgb.ppm -quality 90 -interlace JPEG jpeg-progressive.jpg
im rgb.ppm -colorspace Gray -quality 90 jpeg-grey.jpg
# What ImageMagick makes of each file on white, for the JPEG tolerance and
# as a second opinion on the PNGs.
for f in *.png *.jpg; do
    im "$f" -background white -alpha remove -alpha off -type TrueColor BMP3:"${f%.*}.im.bmp"
done
rm -f rgb.ppm alpha.pgm rgba.miff
# The expected pixels (*.bmp) are what the native build decodes, once it has
# been checked against the *.im.bmp files:
#   for f in *.png; do relievo-cli paint --depth $f --script /dev/null --out ${f%.png}.bmp; done
