#!/usr/bin/env bash
# The picture check against READMEs with one fault each: it must refuse every
# one, naming the fault, and pass the README whose pictures are whole.
#
#   tests/docs/check_images_test.sh
set -euo pipefail
check=$(realpath -- "$(dirname "$0")/check_images.sh")
convert=$(command -v convert-im6.q16 || command -v convert)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The pictures the cases are made of.
"$convert" -size 8x8 xc:gray -strip png:good.png
"$convert" -size 8x8 xc:gray xc:white -strip gif:good.gif
"$convert" -size 8x8 xc:gray png:dated.png # ImageMagick writes its dates unless told not to
"$convert" -size 8x8 xc:gray -set comment "made here" gif:commented.gif
# Noise does not compress: 250 KB of GIF, 270 KB of PNG each.
"$convert" -size 420x420 xc: +noise Random -strip gif:big.gif
"$convert" -size 300x300 xc: +noise Random -depth 8 -strip png:noise1.png
"$convert" -size 300x300 xc: +noise Random -depth 8 -strip png:noise2.png
head -c 60 good.png >cut.png
cp good.png png.gif
head -c "$(($(stat -c %s good.gif) - 1))" good.gif >untrailed.gif
cp good.png badcrc.png
printf '\x00\x00\x00\x00' | dd of=badcrc.png bs=1 seek=29 conv=notrunc 2>/dev/null # IHDR's CRC

# name | README | what the check must say
cases=(
    'whole pictures|![a](good.png) <img src="good.gif">|passed: README'"'"'s 2 pictures'
    'a missing file|![a](gone.png)|gone.png: no such file'
    'a cut PNG|![a](cut.png)|cut.png: the chunk IDAT runs past the end'
    'a PNG with dates|![a](dated.png)|dated.png: it carries a tIME chunk'
    'a PNG named .gif|![a](png.gif)|png.gif: no GIF signature'
    'a GIF without its end|![a](untrailed.gif)|untrailed.gif: no trailer'
    'a GIF with a comment|![a](commented.gif)|commented.gif: it carries a comment'
    'a PNG with a bad CRC|![a](badcrc.png)|badcrc.png: does not decode'
    'a GIF over its limit|![a](big.gif)|big.gif: '
    'pictures over the total|![a](noise1.png) ![b](noise2.png)|over 512000'
    'a picture elsewhere|![a](https://example.org/a.png)|live in the repository'
    'no picture|no picture at all|README links no picture'
)

failures=0
for row in "${cases[@]}"; do
    IFS='|' read -r name text expected <<<"$row"
    printf '%s\n' "$text" >README.md
    said=$(bash "$check" README.md 2>&1) && status=0 || status=$?
    want_status=1
    [ "${expected#passed}" != "$expected" ] && want_status=0
    if [ "$status" -ne "$want_status" ] || [ "${said#*"$expected"}" = "$said" ]; then
        printf 'FAIL: %s: exit %d, said:\n%s\n' "$name" "$status" "$said"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] || exit 1
echo "passed: the picture check on ${#cases[@]} READMEs, $((${#cases[@]} - 1)) of them refused"
