#!/usr/bin/env bash
# MIDI music and video in headless runs. A one-note MIDI file rendered by the synthesizer is heard
# in --audio-out where its note is and is silent after the note's release; a generated test
# pattern video shows the frame of its time at its place on screen, and its play-end event comes
# at its length. The video is made with the ffmpeg command-line tool.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

if ! command -v ffmpeg > /dev/null; then
  echo "ffmpeg is missing (scripts/install-deps.sh installs it)"
  exit 1
fi

clock_of() {
  printf '%d' "0x$(grep -m1 "$2" "$work/$1/trace" | cut -d' ' -f1)"
}

# ---- One piano note (key 60) from 0 to 500 ms, the track ending at 2000 ms.
game midi
python3 - "$work/midi/src/note.mid" <<'PY'
import struct, sys
track = bytes([0, 0xC0, 0, 0, 0x90, 60, 110, 0x83, 0x60, 0x80, 60, 0, 0x8B, 0x20, 0xFF, 0x2F, 0])
head = b'MThd' + struct.pack('>IHHH', 6, 1, 1, 480)
open(sys.argv[1], 'wb').write(head + b'MTrk' + struct.pack('>I', len(track)) + track)
PY
page midi main <<'PAGE'
Wait time=`150` stop
Sound PR_NAME=`"bgm"` PR_SOURCE=`"note.mid"`
Wait time=`3000` stop
Exit
PAGE
play_ok midi 220 --audio-out "$work/midi/sound.wav"
start=$(clock_of midi 'main.nsb(2)')
# RMS of the left and right samples in 100 ms windows from the sound's start.
read -r note held released late < <(python3 - "$work/midi/sound.wav" "$start" <<'PY'
import math, struct, sys, wave
w = wave.open(sys.argv[1])
data = w.readframes(w.getnframes())
samples = struct.unpack('<%dh' % (len(data) // 2), data)
start = int(sys.argv[2])
def rms(a, b):
    part = samples[(start + a) * 441 // 10 * 2:(start + b) * 441 // 10 * 2]
    return round(math.sqrt(sum(s * s for s in part) / max(len(part), 1)))
print(rms(30, 130), rms(300, 400), rms(1600, 1700), rms(2200, 2400))
PY
)
[ "$note" -gt 300 ] && [ "$held" -gt 100 ] && [ "$released" -lt 20 ] && [ "$late" -lt 20 ] ||
  fail "midi: RMS at the note $note, still held $held, after its release $released, late $late"

# ---- A two-second 160 × 120 test pattern at 25 frames a second, placed at (40, 30).
game video
ffmpeg -v error -y -f lavfi -i "testsrc=size=160x120:rate=25:duration=2" -c:v mpeg1video \
  -q:v 2 "$work/video/src/pattern.mpg" || fail "video: ffmpeg"
ffmpeg -v error -y -i "$work/video/src/pattern.mpg" -f rawvideo -pix_fmt rgb24 \
  "$work/video/frames.rgb" || fail "video: ffmpeg frames"
page video main <<'PAGE'
Movie PR_NAME=`"mv"` PR_SOURCE=`"pattern.mpg"` PR_LEFT=`40` PR_TOP=`30` PR_ONPLAYEND=`"ended.nsb"`
Wait time=`3000` stop
Exit
PAGE
page video ended <<'PAGE'
Exit
PAGE
for ticks in 20 60; do
  play_ok video "$ticks" --screenshot "$work/video/shot$ticks.png"
  ffmpeg -v error -y -i "$work/video/shot$ticks.png" -f rawvideo -pix_fmt rgb24 \
    "$work/video/shot$ticks.rgb" || fail "video: ffmpeg screenshot $ticks"
done
start=$(clock_of video 'main.nsb(1)')
# The frame of the pattern each screenshot shows best, and how far the rest of the screen is
# from black.
for ticks in 20 60; do
  read -r best off < <(python3 - "$work/video" "$ticks" <<'PY'
import sys
folder, ticks = sys.argv[1], sys.argv[2]
shot = open(f'{folder}/shot{ticks}.rgb', 'rb').read()
frames = open(f'{folder}/frames.rgb', 'rb').read()
W, H, w, h, x0, y0 = 320, 240, 160, 120, 40, 30
crop = b''.join(shot[((y0 + y) * W + x0) * 3:((y0 + y) * W + x0 + w) * 3] for y in range(h))
size = w * h * 3
def distance(k):
    f = frames[k * size:(k + 1) * size]
    return sum(abs(a - b) for a, b in zip(crop[::7], f[::7])) / len(crop[::7])
best = min(range(len(frames) // size), key=distance)
outside = [shot[(y * W + x) * 3 + c] for y in (5, 200) for x in range(0, W, 9) for c in range(3)]
print(best, max(outside))
PY
)
  # The video started in tick 1: at the end of tick N it has played (N - 1) × 15 ms.
  expected=$(((ticks - 1) * 15 / 40))
  [ "$((best - expected))" -ge -1 ] && [ "$((best - expected))" -le 1 ] ||
    fail "video: after $ticks ticks frame $best shows, expected about $expected"
  [ "$off" = 0 ] || fail "video: after $ticks ticks the screen outside the video is not black"
done
play_ok video 180
ended=$(clock_of video 'ended.nsb(1)')
[ $((ended - start)) -ge 2000 ] && [ $((ended - start)) -le 2100 ] ||
  fail "video: play-end event $((ended - start)) ms after the start, expected at 2000"

finish
