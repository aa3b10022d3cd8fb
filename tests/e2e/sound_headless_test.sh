#!/usr/bin/env bash
# Sound in headless runs, heard through --audio-out: a sound starts with the samples of the tick
# that started it, a fade-out over 1000 ms is at half amplitude halfway, and @SoundON off pauses
# the sound until it is turned on again. The tone is made with the ffmpeg command-line tool.
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh" "$@"

if ! command -v ffmpeg > /dev/null; then
  echo "ffmpeg is missing (scripts/install-deps.sh installs it)"
  exit 1
fi

# tone GAME: a 4-second 440 Hz stereo tone as tone.wav in the game's sources.
tone() {
  ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=4" -ac 2 \
    -c:a pcm_s16le "$work/$1/src/tone.wav" || fail "$1: ffmpeg"
}

# clock_of GAME PATTERN: the game clock (ms) of the first trace line matching PATTERN.
clock_of() {
  printf '%d' "0x$(grep -m1 "$2" "$work/$1/trace" | cut -d' ' -f1)"
}

# peaks GAME FROM_MS TO_MS STEP_MS: the largest sample magnitude in each STEP_MS window.
peaks() {
  python3 - "$work/$1/sound.wav" "$2" "$3" "$4" <<'PY'
import struct, sys, wave
w = wave.open(sys.argv[1])
assert w.getnchannels() == 2 and w.getsampwidth() == 2 and w.getframerate() == 44100
data = w.readframes(w.getnframes())
samples = struct.unpack('<%dh' % (len(data) // 2), data)
start, end, step = (int(v) for v in sys.argv[2:5])
for t in range(start, end, step):
    a, b = t * 44100 // 1000 * 2, (t + step) * 44100 // 1000 * 2
    print(max((abs(s) for s in samples[a:b]), default=0))
PY
}

# first_loud GAME: the index of the first frame whose sample is not 0.
first_loud() {
  python3 - "$work/$1/sound.wav" <<'PY'
import struct, sys, wave
w = wave.open(sys.argv[1])
data = w.readframes(w.getnframes())
samples = struct.unpack('<%dh' % (len(data) // 2), data)
print(next((i // 2 for i, s in enumerate(samples) if s != 0), -1))
PY
}

# ---- Started in tick 10: silent before the samples of tick 10, heard from them on.
game start
tone start
page start main <<'PAGE'
Wait time=`120` stop
Sound PR_NAME=`"se"` PR_SOURCE=`"tone.wav"`
Exit
PAGE
play_ok start 40 --audio-out "$work/start/sound.wav"
tick=$(($(clock_of start 'main.nsb(2)') / 15))
frames=$(python3 -c "import wave; print(wave.open('$work/start/sound.wav').getnframes())")
[ "$frames" = $((15 * 40 * 44100 / 1000)) ] || fail "start: $frames frames after 40 ticks"
begin=$((15 * (tick - 1) * 44100 / 1000))
loud=$(first_loud start)
# The tone starts at a zero crossing: its first non-zero sample is the second of the sound.
[ "$loud" = $((begin + 1)) ] || fail "start: sound from frame $loud, tick $tick begins at $begin"

# ---- Fade-out over 1000 ms: full before, half (-25 dB, volume 128 of 256) 500 ms in, silent
# once the second is over (the sound deletes itself).
game fade
tone fade
page fade main <<'PAGE'
Sound PR_NAME=`"bgm"` PR_SOURCE=`"tone.wav"` PR_REPEAT=`TRUE`
Wait time=`600` stop
MovieStop `"bgm"` `1000` `FALSE`
Wait time=`1500` stop
Exit
PAGE
play_ok fade 160 --audio-out "$work/fade/sound.wav"
stop=$(clock_of fade 'main.nsb(3)')
read -r before half after < <(peaks fade $((stop - 200)) $((stop + 1200)) 15 |
  awk -v n=$((200 / 15)) 'NR == n { b = $1 } NR == n + 34 { h = $1 } NR == n + 80 { a = $1 }
    END { print b, h, a }')
python3 -c "import sys; b, h, a = $before, $half, $after; sys.exit(0 if b > 2000 and abs(h / b - 0.5) < 0.03 and a == 0 else 1)" ||
  fail "fade: peaks before $before, halfway $half, after $after"

# ---- @SoundON off pauses, on resumes where it stopped.
game switch
tone switch
page switch main <<'PAGE'
Sound PR_NAME=`"bgm"` PR_SOURCE=`"tone.wav"`
Wait time=`300` stop
Calc `@SoundON = FALSE`
Wait time=`300` stop
Calc `@SoundON = TRUE`
Wait time=`300` stop
Exit
PAGE
play_ok switch 70 --audio-out "$work/switch/sound.wav"
off=$(clock_of switch 'main.nsb(3)')
on=$(clock_of switch 'main.nsb(5)')
read -r playing paused resumed < <(peaks switch 0 1000 15 |
  awk -v a=$((off / 15 - 3)) -v b=$(((off + on) / 30)) -v c=$((on / 15 + 3)) \
    'NR == a { p = $1 } NR == b { q = $1 } NR == c { r = $1 } END { print p, q, r }')
[ "$playing" -gt 2000 ] && [ "$paused" = 0 ] && [ "$resumed" -gt 2000 ] ||
  fail "switch: peaks playing $playing, off $paused, on again $resumed"

finish
