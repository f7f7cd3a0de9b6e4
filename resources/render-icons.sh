#!/usr/bin/env bash
# Renders the application icon from tallyclock.svg into the PNG sizes of the Linux
# icon theme and the Windows .ico (32 at 24 bits, 48, 128 and 256 at 32 bits).
# Needs rsvg-convert (librsvg2-bin) and Python 3. The results are committed.
set -euo pipefail
cd "$(dirname "$0")/icons"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tallyclock.svg -o "tallyclock-$size.png"
done
cp tallyclock-256.png tallyclock.png
python3 ../make-ico.py .
