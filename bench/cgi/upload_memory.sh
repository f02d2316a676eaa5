#!/usr/bin/env bash
# Peak memory of a multipart upload, outside any server:
#   bench/cgi/upload_memory.sh [BUILD_DIR] [MIB] [RUNS]      (defaults: build, 64, 3)
# Runs upload_memory.qz with a MIB MiB multipart/form-data body (one file part of random bytes)
# on standard input and REQUEST_METHOD, CONTENT_TYPE and CONTENT_LENGTH set, and reports the
# maximum resident size (/usr/bin/time -v) less that of the same page answering a GET, as a
# multiple of the body size: the median of RUNS runs, for a script that reads the upload's data
# and for one that reads strInputAll too.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
mib=${2:-64}
runs=${3:-3}
quazel=$(readlink -f "$build/bin/quazel")
[ -x "$quazel" ] || { echo "no $build/bin/quazel: build Quazel_Real first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
size=$((mib * 1024 * 1024))
head=$'--BenchBoundary\r\nContent-Disposition: form-data; name="f"; filename="r.bin"\r\nContent-Type: application/octet-stream\r\n\r\n'
tail=$'\r\n--BenchBoundary--\r\n'
{
  printf '%s' "$head"
  head -c $((size - ${#head} - ${#tail})) /dev/urandom
  printf '%s' "$tail"
} > "$work/body"

# Maximum resident size in KiB of one run; the rest of the environment stays as it is.
max_rss() {
  local query=$1 method=$2
  env REQUEST_METHOD="$method" QUERY_STRING="$query" CONTENT_LENGTH="$size" \
    "CONTENT_TYPE=multipart/form-data; boundary=BenchBoundary" QUAZEL_OUTPUT_CP=1252 \
    /usr/bin/time -f '%M' -o "$work/rss" "$quazel" "$here/upload_memory.qz" < "$work/body" > "$work/out"
  if [ "$method" = POST ]; then
    grep -q "^size=$((size - ${#head} - ${#tail}))" "$work/out" || { echo "wrong answer: $(cat "$work/out")" >&2; exit 1; }
  fi
  cat "$work/rss"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

base=$(for _ in $(seq "$runs"); do max_rss "" GET; done | median)
echo "body: $size bytes; a GET answer peaks at $base KiB"
for query in data all; do
  peak=$(for _ in $(seq "$runs"); do max_rss "$query" POST; done | median)
  awk -v q="$query" -v p="$peak" -v b="$base" -v s="$size" \
    'BEGIN { printf "%-5s peak %d KiB, %d KiB over the GET: %.2f x the body\n", q, p, p - b, (p - b) * 1024 / s }'
done
