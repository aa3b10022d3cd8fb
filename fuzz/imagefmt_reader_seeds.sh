#!/bin/bash
# Writes the seed corpus of the layered image fuzz target with novutool image, from two small
# PNG files that novutool itself makes from layered images written here in plain rows.
# Arguments: the novutool binary, the corpus folder.
set -euo pipefail
tool="$1"
corpus="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"
code=4660  # the code the fuzz target reads with

# Two 6 x 4 32-bit pictures as uncompressed layered images of version 106: a gradient with a
# mask ramp, and a two-colour checkerboard without mask.
python3 - "$work" <<'PY'
import struct, sys
w, h = 6, 4
def s(t): return struct.pack("<i", len(t)) + t
def fip(path, colour, mask):
    rows = b"".join(struct.pack("<I", colour(x, y)) for y in range(h) for x in range(w))
    masks = b"".join(bytes(mask(x, y) for x in range(w)) + b"\0\0" for y in range(h)) if mask else b""
    header = struct.pack("<iiiiiBBBBiiiBBH", 106, w, h, 32, 1, 1, 0, 1, 0, 0, 0, 0, 0, 70, 0)
    frame = s(b"cell") + struct.pack("<iiBiiiii", -1, 100, 0, 0, 1, w, h, 32)
    layer = struct.pack("<iiBiiB", 0, 0, 1, -1, 255, 1) + s(b"Layer") + s(rows) + s(masks)
    data = b"Fipo106" + struct.pack("<i", 40) + header + frame + layer + struct.pack("<ii", 0, 0)
    open(path, "wb").write(data)
fip(sys.argv[1] + "/seed.fip", lambda x, y: (x * 40) << 16 | (y * 60) << 8 | (x * y * 9),
    lambda x, y: (x * 50 + y * 10) & 0xFF)
fip(sys.argv[1] + "/checker.fip", lambda x, y: 0xFF8000 if (x + y) % 2 else 0x0040C0, None)
PY
"$tool" image "$work/seed.fip" "$work/a.png"
"$tool" image "$work/checker.fip" "$work/b.png"

"$tool" image --duration 40 "$work/a.png" "$work/b.png" "$corpus/rows32.fip"
"$tool" image --code $code "$work/a.png" "$corpus/scrambled.fip"
"$tool" image --depth 16 --blocks 3x2 "$work/a.png" "$work/b.png" "$corpus/blocks16.fip"
"$tool" image --code $code --depth 24 --blocks 4x3 "$work/a.png" "$corpus/blocks-scrambled.fip"
"$tool" image --depth 8 --compression none "$work/a.png" "$corpus/palette8.fip"
"$tool" image --depth 4 "$work/b.png" "$corpus/palette4.fip"
"$tool" image --depth 1 --blocks 5x5 "$work/b.png" "$corpus/palette1.fip"
"$tool" image --depth 15 "$work/a.png" "$corpus/depth15.fip"
"$tool" image --compression jpeg --quality 80 "$work/a.png" "$corpus/jpeg.fip"
cp "$work/seed.fip" "$corpus/handmade.fip"
cp "$work/checker.fip" "$corpus/checker.fip"
