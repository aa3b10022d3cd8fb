#!/bin/bash
# Writes the seed corpus of the sound fuzz target: short wave, Ogg and Windows Media files made
# with the ffmpeg command-line tool, each behind the byte that selects its decoder, whole and cut.
# Argument: the corpus folder.
set -euo pipefail
corpus="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$corpus"
tone() {
  ffmpeg -v error -y -f lavfi -i "sine=frequency=440:sample_rate=$1:duration=0.05" "${@:2}"
}
seed() {  # seed NAME SELECTOR FILE
  { printf "\\x$(printf %02x "$2")"; cat "$3"; } > "$corpus/$1"
  { printf "\\x$(printf %02x "$2")"; head -c $(($(stat -c %s "$3") / 2)) "$3"; } > "$corpus/$1-cut"
}
tone 22050 -ac 1 -c:a pcm_u8 "$work/m8.wav"
tone 44100 -ac 2 -c:a pcm_s16le "$work/s16.wav"
tone 44100 -ac 2 -c:a libvorbis "$work/tone.ogg"
tone 44100 -ac 1 -c:a wmav2 "$work/tone.wma"
seed mono8-wave 0 "$work/m8.wav"
seed stereo16-wave 3 "$work/s16.wav"
seed vorbis 1 "$work/tone.ogg"
seed wma 2 "$work/tone.wma"
# A Cryo APC header asking for a 1.3 GHz rate: the resampler once built gigabytes of filter tables.
{ printf '\x02CRYO_APC1.20\xe8\x03\x00\x00\xee\x6c\xfe\x4d'; printf '\x00%.0s' $(seq 8)
  printf '\x01\x00\x00\x00'; head -c 256 /dev/zero | tr '\0' '\x5a'; } > "$corpus/apc-absurd-rate"
