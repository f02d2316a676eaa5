#!/usr/bin/env bash
# Requests to a small .qz page through lighttpd's mod_cgi on 127.0.0.1:
#   bench/cgi/run.sh [BUILD_DIR] [REQUESTS]      (defaults: build, 500)
# Prints the time of single GET requests (each by a new curl, as a browser's first request)
# and the rate of REQUESTS sequential requests on one connection, for the .qz page and for the
# same page as a shell script (the server's and the process start's share). Exits 1 when the
# median single request takes 30 ms or more.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
requests=${2:-500}
quazel=$(readlink -f "$build/bin/quazel")
[ -x "$quazel" ] || { echo "no $build/bin/quazel: build Quazel_Real first" >&2; exit 2; }

work=$(mktemp -d)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/www"
cp "$here/hello.qz" "$here/hello.sh" "$work/www/"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/lighttpd.conf" <<CONF
server.document-root = "$work/www"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$work/error.log"
server.modules = ("mod_cgi")
cgi.assign = (".qz" => "$quazel", ".sh" => "/bin/sh")
CONF
lighttpd -D -f "$work/lighttpd.conf" &
server=$!
for _ in $(seq 50); do curl -s -o /dev/null --max-time 1 "http://127.0.0.1:$port/" && break; sleep 0.1; done

base="http://127.0.0.1:$port"
[ "$(curl -s "$base/hello.qz?name=bench")" = "Hello, bench" ] || { echo "the page does not answer" >&2; exit 1; }

# Milliseconds of 25 single requests, each by its own curl: median and best.
single() {
  for _ in $(seq 25); do curl -s -o /dev/null -w '%{time_total}\n' "$1"; done |
    sort -n | awk '{ t[NR] = $1 * 1000 } END { printf "%.2f %.2f\n", t[int((NR + 1) / 2)], t[1] }'
}
# Requests per second over `requests` sequential requests on one connection.
rate() {
  local urls=() i
  for ((i = 0; i < requests; i++)); do urls+=("$1"); done
  local start end
  start=$(date +%s%N)
  curl -s "${urls[@]}" > /dev/null
  end=$(date +%s%N)
  awk -v n="$requests" -v ns=$((end - start)) 'BEGIN { printf "%.0f\n", n / (ns / 1e9) }'
}

read -r qz_median qz_best <<<"$(single "$base/hello.qz?name=bench")"
read -r sh_median sh_best <<<"$(single "$base/hello.sh?name=bench")"
qz_rate=$(rate "$base/hello.qz?name=bench")
sh_rate=$(rate "$base/hello.sh?name=bench")

printf '%-10s %14s %12s %14s\n' page "median ms" "best ms" "requests/s"
printf '%-10s %14s %12s %14s\n' hello.qz "$qz_median" "$qz_best" "$qz_rate"
printf '%-10s %14s %12s %14s\n' hello.sh "$sh_median" "$sh_best" "$sh_rate"
awk -v m="$qz_median" 'BEGIN { exit !(m < 30) }' || { echo "a single .qz request took $qz_median ms (limit 30)"; exit 1; }
