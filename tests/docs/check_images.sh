#!/usr/bin/env bash
# Checks the pictures README.md shows, without a display: each one it links
# is in the repository, is the PNG or GIF its name says, whole (every chunk
# or block where it should be, ending where the format ends, and decoding
# without a warning), carries no time stamp or text, and together they stay
# small enough for a README: a GIF at most 200 KB, all of them 500 KB.
#
#   tests/docs/check_images.sh [README]
set -euo pipefail
readme=$(realpath -- "${1:-$(dirname "$0")/../../README.md}")
folder=$(dirname -- "$readme")
gif_limit=$((200 * 1024))
total_limit=$((500 * 1024))
identify=$(command -v identify-im6.q16 || command -v identify)

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The targets of ![...](...) and <img src="...">, one a line.
image_links() {
    grep -oE '!\[[^]]*\]\([^)[:space:]]+|<img[^>]*src="[^"]+"' -- "$readme" |
        sed -E 's/^!\[[^]]*\]\(//; s/^<img[^>]*src="//; s/"$//' || true
}

# Walks the file's structure byte by byte and prints what is wrong with it,
# nothing when it is whole.
structure_faults() {
    local kind=$1 file=$2
    od -An -v -tu1 -- "$file" | awk -v kind="$kind" '
        { for (i = 1; i <= NF; i++) b[n++] = $i }
        function u32(at) { return ((b[at] * 256 + b[at + 1]) * 256 + b[at + 2]) * 256 + b[at + 3] }
        function text(at, count,   s, i) { for (i = 0; i < count; i++) s = s sprintf("%c", b[at + i]); return s }
        function done(why) { print why; exit }
        # GIF data travels in sub-blocks, each led by its length, ended by 0.
        function skip_blocks(at) {
            while (at < n && b[at] != 0) at += b[at] + 1
            if (at >= n) done("a block runs past the end")
            return at + 1
        }
        END {
            if (kind == "png") {
                if (text(1, 3) != "PNG" || b[0] != 137 || b[4] != 13 || b[5] != 10 || b[6] != 26 || b[7] != 10)
                    done("no PNG signature")
                at = 8
                if (text(at + 4, 4) != "IHDR") done("the first chunk is not IHDR")
                while (at + 12 <= n) {
                    type = text(at + 4, 4)
                    if (type ~ /^(tIME|tEXt|zTXt|iTXt|eXIf)$/) done("it carries a " type " chunk")
                    at += u32(at) + 12
                    if (at > n) done("the chunk " type " runs past the end")
                    if (type == "IEND") {
                        if (at != n) done("bytes follow IEND")
                        exit
                    }
                }
                done("no IEND chunk")
            }
            if (text(0, 6) != "GIF87a" && text(0, 6) != "GIF89a") done("no GIF signature")
            at = 13
            if (b[10] >= 128) at += 3 * 2 ^ (b[10] % 8 + 1)
            frames = 0
            while (at < n) {
                if (b[at] == 59) {
                    if (at + 1 != n) done("bytes follow the trailer")
                    if (frames == 0) done("no image in it")
                    exit
                }
                if (b[at] == 33) {
                    if (b[at + 1] == 254) done("it carries a comment")
                    at = skip_blocks(at + 2)
                } else if (b[at] == 44) {
                    flags = b[at + 9]
                    at += 10
                    if (flags >= 128) at += 3 * 2 ^ (flags % 8 + 1)
                    at = skip_blocks(at + 1)
                    frames++
                } else {
                    done("an unknown block " b[at] " at byte " at)
                }
            }
            done("no trailer")
        }'
}

total=0
count=0
while read -r link; do
    count=$((count + 1))
    case "$link" in
    *://*) fail "$link: the pictures live in the repository"; continue ;;
    *.png) kind=png ;;
    *.gif) kind=gif ;;
    *) fail "$link: neither .png nor .gif"; continue ;;
    esac
    file=$folder/$link
    [ -f "$file" ] || { fail "$link: no such file"; continue; }
    size=$(stat -c %s -- "$file")
    total=$((total + size))
    fault=$(structure_faults "$kind" "$file")
    [ -z "$fault" ] || { fail "$link: $fault"; continue; }
    # The decoder finds what the walk cannot: a bad CRC, a cut zlib stream.
    "$identify" -regard-warnings -- "$file" >/dev/null 2>&1 || fail "$link: does not decode"
    if [ "$kind" = gif ] && [ "$size" -gt "$gif_limit" ]; then
        fail "$link: $size bytes, over $gif_limit"
    fi
done < <(image_links)

[ "$count" -gt 0 ] || fail "README links no picture"
[ "$total" -le "$total_limit" ] || fail "the pictures take $total bytes, over $total_limit"
[ "$failures" -eq 0 ] || exit 1
echo "passed: README's $count pictures are whole, stripped and $total bytes in all"
