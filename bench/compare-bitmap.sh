#!/usr/bin/env bash
# Runs the suite bitmap's benchmarks (common_bench) and ImageMagick's convert
# on pictures of the same sizes, and prints every bitmap operation's time as
# ratios: to a plain memory copy of the store, to the nearest Qt operation
# (measured in the same benchmark run) and to the nearest convert operation.
# A ratio below 1 means the bitmap is faster.
#
#   bench/compare-bitmap.sh [path/to/common_bench]
#
# Build the benchmarks in Release first:
#   cmake -S . -B build-bitmap-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEN_BUILD_BENCH=ON
#   cmake --build build-bitmap-rel --target common_bench
#
# Environment: CONVERT (default /usr/bin/convert), REPEAT (runs of each
# convert command, the fastest counts; default 3), MIN_TIME (Google
# Benchmark's --benchmark_min_time, default 0.3). Times are CPU times of one
# thread: convert runs with MAGICK_THREAD_LIMIT=1, as the bitmap's effects
# run on one thread. A convert operation's time is that of
# "convert in.mpc <operation> null:" less that of "convert in.mpc null:".
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$root/build-bitmap-rel/bench/common_bench}
convert=${CONVERT:-/usr/bin/convert}
repeat=${REPEAT:-3}
min_time=${MIN_TIME:-0.3}
sizes=(1024 4096)

if [ ! -x "$bench" ]; then
  echo "compare-bitmap: no benchmark program at $bench (build the common_bench target)" >&2
  exit 1
fi
if [ ! -x "$convert" ]; then
  echo "compare-bitmap: ImageMagick's convert not found at $convert (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---------------------------------------------------------------- the benchmarks

echo "Running $bench ..." >&2
QT_QPA_PLATFORM=offscreen "$bench" --benchmark_filter='^(nvBitmap|nvBitmapBaseline|Copy|Qt)/' \
  --benchmark_min_time="$min_time" --benchmark_format=csv >"$work/bench.csv" 2>"$work/bench.err" || {
  cat "$work/bench.err" >&2
  exit 1
}
# name -> CPU milliseconds
awk -F, 'NR > 1 && $1 ~ /\// {
  name = $1; gsub(/"/, "", name)
  t = $4; unit = $5
  if (unit == "ns") t /= 1e6; else if (unit == "us") t /= 1e3; else if (unit == "s") t *= 1e3
  printf "%s %.6f\n", name, t
}' "$work/bench.csv" >"$work/bench.txt"

bench_ms() { awk -v n="$1" '$1 == n { print $2 }' "$work/bench.txt"; }

# ---------------------------------------------------------------- convert

export MAGICK_THREAD_LIMIT=1
now_ns() { date +%s%N; }
# The fastest of $repeat runs of a convert command, in milliseconds.
time_convert() {
  local best= t0 t1 ms
  for ((i = 0; i < repeat; ++i)); do
    t0=$(now_ns)
    "$convert" "$@" null: 2>/dev/null
    t1=$(now_ns)
    ms=$(((t1 - t0) / 1000))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.3f\n", us / 1000 }'
}

# Operation -> convert arguments (the nearest thing convert does).
declare -A im=(
  [Lightness]="-modulate 120"
  [Contrast]="-brightness-contrast 0x25"
  [Invert]="-negate"
  [GrayScale]="-colorspace Gray"
  [Saturation]="-modulate 100,150"
  [AddRGB]="-evaluate add 8%"
  [Colorize]="-fill #dcb4c8 -colorize 20"
  [BlurStep]="-blur 0x1"
  [GaussianBlur]="-gaussian-blur 0x2"
  [Sharpen]="-sharpen 0x1"
  [Emboss]="-emboss 0x1"
  [Sponge]="-spread 3"
  [FlipHorizontal]="-flop"
  [FlipVertical]="-flip"
  [Rotate]="-filter point -distort SRT 30"
  [Wave]="-wave 5x251"
  [MakeMask]="-fill black -opaque white -fill white +opaque black"
  [ReplaceColor]="-fill black -opaque white"
  [SmoothStretch]="-filter Triangle -resize 75%"
  [AlphaBlend]="BLEND"
)
# Operation -> the Qt benchmark beside it.
declare -A qt=(
  [Invert]="Qt/Invert"
  [GrayScale]="Qt/GrayScale"
  [FlipHorizontal]="Qt/FlipHorizontal"
  [FlipVertical]="Qt/FlipVertical"
  [SmoothStretch]="Qt/SmoothStretch"
)
ops=(Lightness Contrast Invert GrayScale Saturation AddRGB Colorize BlurStep GaussianBlur Sharpen Emboss Sponge
  FlipHorizontal FlipVertical Rotate Wave AlphaBlend MakeMask ReplaceColor SmoothStretch Region TransparentDraw)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "" || b == "" || b <= 0) print "-"; else printf "%.2f\n", a / b }'; }

for n in "${sizes[@]}"; do
  echo "Preparing a ${n} x ${n} picture for convert ..." >&2
  "$convert" -size "${n}x${n}" gradient:'#204080-#e0c060' -attenuate 0.3 +noise Uniform -depth 8 \
    -type TrueColor "$work/in$n.mpc"
  base=$(time_convert "$work/in$n.mpc")
  base2=$(time_convert "$work/in$n.mpc" "$work/in$n.mpc")
  copy=$(bench_ms "Copy/Store/$n")
  echo
  printf 'Pictures of %d x %d pixels; memory copy of the store: %s ms; Qt convertToFormat(RGB32): %s ms (%s x copy)\n' \
    "$n" "$n" "$copy" "$(bench_ms "Qt/ConvertToRGB32/$n")" "$(ratio "$(bench_ms "Qt/ConvertToRGB32/$n")" "$copy")"
  printf '%-16s %11s %8s  %-24s %9s %7s  %11s %9s\n' operation "bitmap ms" "x copy" "Qt" "Qt ms" "x Qt" "convert ms" "x convert"
  for op in "${ops[@]}"; do
    mine=$(bench_ms "nvBitmap/$op/$n")
    qname=${qt[$op]:-}
    qms=
    [ -n "$qname" ] && qms=$(bench_ms "$qname/$n")
    ims=
    if [ -n "${im[$op]:-}" ]; then
      if [ "${im[$op]}" = BLEND ]; then
        t=$(time_convert "$work/in$n.mpc" "$work/in$n.mpc" -compose blend -define compose:args=40 -composite)
        ims=$(awk -v a="$t" -v b="$base2" 'BEGIN { d = a - b; if (d < 0.001) d = 0.001; printf "%.3f\n", d }')
      else
        # shellcheck disable=SC2086 # the arguments are split on purpose
        t=$(time_convert "$work/in$n.mpc" ${im[$op]})
        ims=$(awk -v a="$t" -v b="$base" 'BEGIN { d = a - b; if (d < 0.001) d = 0.001; printf "%.3f\n", d }')
      fi
    fi
    printf '%-16s %11.3f %8s  %-24s %9s %7s  %11s %9s\n' "$op" "$mine" "$(ratio "$mine" "$copy")" \
      "${qname:--}" "${qms:--}" "$(ratio "$mine" "$qms")" "${ims:--}" "$(ratio "$mine" "$ims")"
  done
  echo "The same with the baseline loops only (no AVX2, no AVX-512):"
  for op in Lightness Contrast Invert GrayScale FlipHorizontal FlipVertical; do
    mine=$(bench_ms "nvBitmapBaseline/$op/$n")
    printf '%-16s %11.3f %8s\n' "$op" "$mine" "$(ratio "$mine" "$copy")"
  done
done
