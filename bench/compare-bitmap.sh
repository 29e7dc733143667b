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
# Environment: CONVERT (default /usr/bin/convert), MIN_TIME (Google
# Benchmark's --benchmark_min_time, default 0.3). The bitmap's and Qt's times
# are the CPU time of the benchmark process (Qt's worker threads included);
# convert's are its own one-thread figures ("-bench", Performance[1]), since
# the bitmap's effects run on one thread.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bench=${1:-$root/build-bitmap-rel/bench/common_bench}
convert=${CONVERT:-/usr/bin/convert}
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
QT_QPA_PLATFORM=offscreen "$bench" --benchmark_filter='^(nvBitmap|nvBitmapAvx2|nvBitmapBaseline|Copy|Qt)/' \
  --benchmark_min_time="$min_time" --benchmark_format=csv >"$work/bench.csv" 2>"$work/bench.err" || {
  cat "$work/bench.err" >&2
  exit 1
}
# name -> CPU milliseconds
awk -F, 'NR > 1 && $1 ~ /\// {
  name = $1; gsub(/"/, "", name); sub(/\/process_time$/, "", name)
  t = $4; unit = $5
  if (unit == "ns") t /= 1e6; else if (unit == "us") t /= 1e3; else if (unit == "s") t *= 1e3
  printf "%s %.6f\n", name, t
}' "$work/bench.csv" >"$work/bench.txt"

bench_ms() { awk -v n="$1" '$1 == n { print $2 }' "$work/bench.txt"; }

# ---------------------------------------------------------------- convert

# convert's own benchmark: "-bench N" repeats the operator after it N times
# and reports iterations a second, first with one thread ("Performance[1]").
# Settings an operator needs go before -bench.
export MAGICK_THREAD_LIMIT=1
# convert_ms PICTURES SETTINGS OPERATOR: milliseconds of one run of OPERATOR.
convert_ms() {
  local pictures=$1 settings=$2 operator=$3 n=$4 out
  # shellcheck disable=SC2086 # the arguments are split on purpose
  out=$("$convert" $pictures $settings -bench "$n" $operator null: 2>&1) || return 0
  awk '/Performance\[1\]/ { for (i = 1; i <= NF; ++i) if ($i ~ /ips$/) { v = $i; sub(/ips$/, "", v); printf "%.3f\n", 1000 / v } }' <<<"$out"
}

# Operation -> "settings|operator" of the nearest thing convert does.
declare -A im=(
  [Lightness]="|-brightness-contrast 20x0"
  [Contrast]="|-brightness-contrast 0x25"
  [Invert]="|-negate"
  [GrayScale]="|-colorspace Gray"
  [Saturation]="|-modulate 100,150"
  [AddRGB]="|-evaluate add 8%"
  [Colorize]="-fill #dcb4c8|-colorize 20"
  [BlurStep]="|-blur 0x1"
  [GaussianBlur]="|-gaussian-blur 0x2"
  [Sharpen]="|-sharpen 0x1"
  [Emboss]="|-emboss 0x1"
  [Sponge]="|-spread 3"
  [FlipHorizontal]="|-flop"
  [FlipVertical]="|-flip"
  [Rotate]="-filter point|-distort SRT 30"
  [Wave]="|-wave 5x251"
  [MakeMask]="-fill black|+opaque white"
  [ReplaceColor]="-fill black|-opaque white"
  [SmoothStretch]="-filter Triangle|-resize 75%"
  [AlphaBlend]="-compose blend -define compose:args=40|-composite"
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
  iterations=$((n >= 4096 ? 2 : 8))
  copy=$(bench_ms "Copy/Store/$n")
  echo
  printf 'Pictures of %d x %d pixels; memory copy of the store: %s ms; Qt convertToFormat(RGB32): %s ms (%s x copy)\n' \
    "$n" "$n" "$copy" "$(bench_ms "Qt/ConvertToRGB32/$n")" "$(ratio "$(bench_ms "Qt/ConvertToRGB32/$n")" "$copy")"
  printf '%-16s %11s %8s  %-18s %9s %7s  %11s %9s\n' operation "bitmap ms" "x copy" "Qt" "Qt ms" "x Qt" "convert ms" "x convert"
  for op in "${ops[@]}"; do
    mine=$(bench_ms "nvBitmap/$op/$n")
    qname=${qt[$op]:-}
    qms=
    [ -n "$qname" ] && qms=$(bench_ms "$qname/$n")
    ims=
    if [ -n "${im[$op]:-}" ]; then
      pictures="$work/in$n.mpc"
      [ "$op" = AlphaBlend ] && pictures="$work/in$n.mpc $work/in$n.mpc"
      echo "  convert: $op ..." >&2
      ims=$(convert_ms "$pictures" "${im[$op]%%|*}" "${im[$op]#*|}" "$iterations")
    fi
    printf '%-16s %11.3f %8s  %-18s %9s %7s  %11s %9s\n' "$op" "$mine" "$(ratio "$mine" "$copy")" \
      "${qname:--}" "${qms:--}" "$(ratio "$mine" "$qms")" "${ims:--}" "$(ratio "$mine" "$ims")"
  done
  echo "The table effects and flips with at most AVX2 (no AVX-512), and with the baseline loops only:"
  printf '%-16s %11s %8s  %11s %8s\n' operation "AVX2 ms" "x copy" "baseline ms" "x copy"
  for op in Lightness Contrast Invert GrayScale FlipHorizontal FlipVertical; do
    avx2=$(bench_ms "nvBitmapAvx2/$op/$n")
    base=$(bench_ms "nvBitmapBaseline/$op/$n")
    printf '%-16s %11.3f %8s  %11.3f %8s\n' "$op" "$avx2" "$(ratio "$avx2" "$copy")" "$base" "$(ratio "$base" "$copy")"
  done
done
