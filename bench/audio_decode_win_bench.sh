#!/usr/bin/env bash
# Runs the audio decode benchmark: makes a 10-minute FLAC and MP3 with sox
# and lame (once), times the reference decoders (sox for FLAC, lame for MP3)
# natively, then runs audio_decode_win_bench.exe under Wine with those times.
# Usage: audio_decode_win_bench.sh <build folder with win/bench> [files folder]
set -euo pipefail
build=${1:?build folder}
files=${2:-$build/bench-files/audio}
mkdir -p "$files"
if [ ! -f "$files/bench.flac" ] || [ ! -f "$files/bench.mp3" ]; then
  sox -r 44100 -c 2 -n -b 16 "$files/source.wav" synth 600 sine 220-1760 pinknoise gain -8
  sox "$files/source.wav" "$files/bench.flac"
  lame --quiet -b 192 "$files/source.wav" "$files/bench.mp3"
  rm -f "$files/source.wav"
fi
seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N); echo "$t1 - $t0" | bc -l; }
sox "$files/bench.flac" -n  # warm the page cache
flac_ref=$(seconds sox "$files/bench.flac" -n)
mp3_ref=$(seconds lame --quiet --decode "$files/bench.mp3" /dev/null)
export WINEPREFIX=${WINEPREFIX:-$build/../build/wineprefix} WINEDEBUG=-all
wine "$build/win/bench/audio_decode_win_bench.exe" "Z:${files//\//\\}" "$flac_ref" "$mp3_ref"
