#!/usr/bin/env bash
# Builds the header reader's libFuzzer target with clang (address and
# undefined-behaviour checks on) and runs it.
#   tests/cpp/fuzz_run.sh [seconds]     default 300
# Seeds: the real corpus and the files makeswf writes. Findings go to
# $FUZZ_DIR (default /tmp/vorlumen-fuzz) as crash-* files.
set -euo pipefail
cd "$(dirname "$0")/../.."
SECONDS_TO_RUN="${1:-300}"
FUZZ_DIR="${FUZZ_DIR:-/tmp/vorlumen-fuzz}"
CORPUS="${VORLUMEN_SWF_CORPUS:-../shared/swf-corpus}"
command -v clang++ >/dev/null || { echo "fuzz_run: clang++ is needed (apt-get install clang)" >&2; exit 2; }
mkdir -p "$FUZZ_DIR/seeds" "$FUZZ_DIR/found" "$FUZZ_DIR/corpus"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -Itools/swfdump tests/cpp/fuzz_swfheader.cpp tools/swfdump/swfheader.cpp \
  -lz -llzma -o "$FUZZ_DIR/fuzz_swfheader"

# Only the first bytes matter to the reader; short seeds keep the fuzzer fast.
for f in "$CORPUS"/files/*.swf "$CORPUS"/invalid/*.swf; do
  head -c 4096 "$f" >"$FUZZ_DIR/seeds/$(basename "$f")"
done
if [ -x "${VORLUMEN_BUILD_DIR:-build}/tools/makeswf" ]; then
  for kind in fws cws zws; do
    "${VORLUMEN_BUILD_DIR:-build}/tools/makeswf" --$kind --width 101.3 --height 25.3 \
      -o "$FUZZ_DIR/seeds/generated-$kind.swf"
  done
fi

cd "$FUZZ_DIR/found"
exec "$FUZZ_DIR/fuzz_swfheader" -max_total_time="$SECONDS_TO_RUN" -max_len=8192 \
  -timeout=5 -rss_limit_mb=1024 -print_final_stats=1 "$FUZZ_DIR/corpus" "$FUZZ_DIR/seeds"
