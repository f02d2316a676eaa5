#!/usr/bin/env bash
# CGI end to end: the host program answering requests, first with the request in the
# environment only (no server, so a failure is easy to read), then under lighttpd (mod_cgi),
# nginx with fcgiwrap, and python3's CGI server, all on 127.0.0.1 with configurations written
# into the work folder. Every server is stopped when the script ends.
#
#   web_test.sh QUAZEL WORKDIR
set -uo pipefail

QUAZEL=$(readlink -f "$1")
HERE=$(cd "$(dirname "$0")" && pwd)
CURL=(curl -sS --max-time 20)

rm -rf "$2"
mkdir -p "$2/www"
WORK=$(cd "$2" && pwd)
cp "$HERE"/scripts/*.qz "$WORK/www/"
WWW=$WORK/www

failures=0
pids=()
stop_servers() {
  local pid kids
  for pid in "${pids[@]}"; do
    kids=$(pgrep -P "$pid")  # fcgiwrap's workers outlive their parent
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    [ -n "$kids" ] && kill $kids 2>/dev/null
  done
  pids=()
}
trap stop_servers EXIT

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# check NAME EXPECTED ACTUAL
check() {
  if [ "$2" == "$3" ]; then
    echo "ok: $1"
  else
    fail "$1"
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/    /'
  fi
}

# contains NAME TEXT NEEDLE
contains() {
  if [[ "$2" == *"$3"* ]]; then echo "ok: $1"; else fail "$1: no '$3' in:"; printf '%s\n' "$2" | sed 's/^/    /'; fi
}
lacks() {
  if [[ "$2" != *"$3"* ]]; then echo "ok: $1"; else fail "$1: '$3' found in:"; printf '%s\n' "$2" | sed 's/^/    /'; fi
}

# ---- test data --------------------------------------------------------------------------------
python3 - "$WORK" <<'EOF'
import sys
work = sys.argv[1]
open(work + "/all.bin", "wb").write(bytes(range(256)))
open(work + "/text.txt", "wb").write("first line\r\nsecond line, \u00e9t\u00e9\n".encode())
# A form far over 32 KB: 5000 pairs.
open(work + "/big.form", "w").write("&".join("k%d=value%d" % (i, i) for i in range(5000)))
boundary = "XyZ123"
def part(headers, data):
    return b"--" + boundary.encode() + b"\r\n" + headers + b"\r\n" + data + b"\r\n"
body = part(b'Content-Disposition: form-data; name="bin"; filename="all.bin"\r\n'
            b'Content-Type: application/octet-stream\r\n', bytes(range(256)))
body += part(b'Content-Disposition: form-data; name="txt"; filename="text.txt"\r\n'
             b'Content-Type: text/plain\r\n', open(work + "/text.txt", "rb").read())
body += part(b'Content-Disposition: form-data; name="plain"\r\n', b"just a field")
body += b"--" + boundary.encode() + b"--\r\n"
open(work + "/multipart.body", "wb").write(body)
EOF
BIN_SIZE=$(stat -c %s "$WORK/all.bin")
TXT_SIZE=$(stat -c %s "$WORK/text.txt")

QUERY='a=1&a=2&b=x%20y%2B&c=%D0%90&c=second'
ECHO_GET="method=GET
arg=[]
a=1
b=x y+
c=А
p=
k4999=
input=${#QUERY}"
UPLOAD_SUMMARY="id=True
count=3
1:bin|all.bin|application/octet-stream|$BIN_SIZE
2:txt|text.txt|text/plain|$TXT_SIZE
3:plain|||12
plain=just a field"

# ---- env-only runs ----------------------------------------------------------------------------
echo "== environment only"
cgi_env=(env -i PATH=/usr/bin:/bin QUAZEL_OUTPUT_CP=0 GATEWAY_INTERFACE=CGI/1.1)
body_of() {  # drops the header block, byte for byte
  python3 -c 'import sys; d = sys.stdin.buffer.read(); i = d.find(b"\r\n\r\n"); sys.stdout.buffer.write(d[i + 4:] if i >= 0 else d)'
}

out=$("${cgi_env[@]}" REQUEST_METHOD=GET "QUERY_STRING=$QUERY" timeout 10 "$QUAZEL" "$WWW/echo.qz" | body_of)
check "env GET pairs" "$ECHO_GET" "$out"

out=$(printf 'p=posted+value&a=%%41' | "${cgi_env[@]}" REQUEST_METHOD=POST CONTENT_LENGTH=20 \
      CONTENT_TYPE=application/x-www-form-urlencoded timeout 10 "$QUAZEL" "$WWW/echo.qz" | body_of)
contains "env POST pairs" "$out" "p=posted value"
contains "env POST decoding" "$out" "a=A"

# A body shorter than its CONTENT_LENGTH: the reader stops at the end of the input.
start=$(date +%s)
out=$(printf 'p=short' | "${cgi_env[@]}" REQUEST_METHOD=POST CONTENT_LENGTH=100000 timeout 10 "$QUAZEL" "$WWW/echo.qz" | body_of)
contains "env short body answered" "$out" "p=short"
[ $(( $(date +%s) - start )) -lt 5 ] && echo "ok: env short body in time" || fail "env short body took too long"

out=$("${cgi_env[@]}" REQUEST_METHOD=POST CONTENT_LENGTH=$(stat -c %s "$WORK/big.form") timeout 10 \
      "$QUAZEL" "$WWW/echo.qz" < "$WORK/big.form" | body_of)
contains "env form over 32 KB" "$out" "k4999=value4999"

mp_env=("${cgi_env[@]}" REQUEST_METHOD=POST CONTENT_LENGTH=$(stat -c %s "$WORK/multipart.body")
        "CONTENT_TYPE=multipart/form-data; boundary=XyZ123")
out=$("${mp_env[@]}" timeout 10 "$QUAZEL" "$WWW/upload.qz" < "$WORK/multipart.body" | body_of)
check "env multipart summary" "$UPLOAD_SUMMARY" "$out"
"${mp_env[@]}" QUERY_STRING=part=1 timeout 10 "$QUAZEL" "$WWW/upload.qz" < "$WORK/multipart.body" | body_of > "$WORK/env-part1"
cmp -s "$WORK/env-part1" "$WORK/all.bin" && echo "ok: env binary upload byte-exact" || fail "env binary upload differs"
# The documented setting for binary data: a single-byte output page, whatever the locale.
for cp in 1251 1252 866; do
  for lang in en_US.UTF-8 ru_RU.UTF-8; do
    "${mp_env[@]}" QUAZEL_OUTPUT_CP=$cp LANG=$lang QUERY_STRING=part=1 timeout 10 "$QUAZEL" "$WWW/upload.qz" \
      < "$WORK/multipart.body" | body_of > "$WORK/env-part1-$cp"
    cmp -s "$WORK/env-part1-$cp" "$WORK/all.bin" && echo "ok: env binary upload byte-exact under page $cp, $lang" \
      || fail "env binary upload differs under page $cp, $lang"
  done
done

# No script file: 404 and a failing status; text that looks like code or a verb never runs.
for args in 'Print "PWNED" /run' "$WWW/nothing.qz" "make $WWW/echo.qz" "x/run"; do
  out=$("${cgi_env[@]}" REQUEST_METHOD=GET timeout 10 "$QUAZEL" "$args"); rc=$?
  contains "env 404 for [$args]" "$out" "Status: 404"
  [ $rc -ne 0 ] && echo "ok: env non-zero status for [$args]" || fail "env status 0 for [$args]"
  lacks "env no code run for [$args]" "$out" "PWNED"
done
# Extra arguments (query words some servers pass on) are not the script's argument text.
out=$("${cgi_env[@]}" REQUEST_METHOD=GET 'QUERY_STRING=a.qz"make' timeout 10 "$QUAZEL" "$WWW/echo.qz" 'a.qz"make' 'Print "PWNED"~/run')
contains "env extra arguments ignored" "$out" "arg=[]"
lacks "env extra arguments not run" "$out" "PWNED"
out=$("${cgi_env[@]}" REQUEST_METHOD=POST CONTENT_LENGTH=2000 QUAZEL_CGI_MAX_REQUEST=1000 timeout 10 "$QUAZEL" "$WWW/echo.qz" < "$WORK/big.form")
contains "env body over the limit: 413" "$out" "Status: 413"
# The road a server without a script argument takes: PATH_TRANSLATED.
out=$("${cgi_env[@]}" REQUEST_METHOD=GET REQUEST_URI=/echo.qz "PATH_TRANSLATED=$WWW/echo.qz" "QUERY_STRING=$QUERY" \
      timeout 10 "$QUAZEL" | body_of)
check "env PATH_TRANSLATED road" "$ECHO_GET" "$out"

# ---- the same requests through a web server -----------------------------------------------------
free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
wait_for() {  # URL
  for _ in $(seq 50); do
    curl -s -o /dev/null --max-time 1 "$1" && return 0
    sleep 0.1
  done
  return 1
}

# web_suite NAME BASE_URL [no-head]
web_suite() {
  local name=$1 base=$2 out code
  out=$("${CURL[@]}" "$base/echo.qz?$QUERY")
  check "$name GET with repeated and encoded keys" "$ECHO_GET" "$out"

  out=$("${CURL[@]}" --data 'p=posted+value&a=%41' "$base/echo.qz?a=query")
  contains "$name url-encoded POST" "$out" "p=posted value"
  contains "$name POST ignores the query" "$out" "a=A"

  if [ "${3:-}" != no-head ]; then
    out=$("${CURL[@]}" -I -o /dev/null -w '%{http_code} %{size_download}' "$base/echo.qz?a=1")
    check "$name HEAD" "200 0" "$out"
  fi

  out=$("${CURL[@]}" --data-binary "@$WORK/big.form" "$base/echo.qz")
  contains "$name form over 32 KB keeps every pair" "$out" "k4999=value4999"
  contains "$name form over 32 KB raw input" "$out" "input=$(stat -c %s "$WORK/big.form")"

  local form=(-F "bin=@$WORK/all.bin;type=application/octet-stream" -F "txt=@$WORK/text.txt;type=text/plain"
              -F "plain=just a field")
  out=$("${CURL[@]}" "${form[@]}" "$base/upload.qz")
  check "$name multipart summary" "$UPLOAD_SUMMARY" "$out"
  "${CURL[@]}" "${form[@]}" -o "$WORK/$name-part1" "$base/upload.qz?part=1"
  "${CURL[@]}" "${form[@]}" -o "$WORK/$name-part2" "$base/upload.qz?part=2"
  cmp "$WORK/$name-part1" "$WORK/all.bin" && echo "ok: $name 256 byte values round-trip" || fail "$name binary upload differs"
  cmp "$WORK/$name-part2" "$WORK/text.txt" && echo "ok: $name text upload round-trips" || fail "$name text upload differs"

  # Query text that would be code or a verb on a command line is only a query.
  for q in 'x/run' 'a.qz%22make' 'Print+%22PWNED%22~/run'; do
    out=$("${CURL[@]}" "$base/echo.qz?$q")
    contains "$name ?$q runs the script" "$out" "arg=[]"
    lacks "$name ?$q runs no code" "$out" "PWNED"
  done
  ls "$WWW" > "$WORK/$name-files"
  check "$name no file made" "echo.qz
upload.qz" "$(cat "$WORK/$name-files")"

  # A body shorter than its Content-Length: answered or dropped within the server's time-out,
  # and the server still serves the next request.
  local start=$(date +%s)
  "${CURL[@]}" -o /dev/null -H 'Content-Length: 5000' --data 'p=short' "$base/echo.qz" 2>/dev/null
  [ $(( $(date +%s) - start )) -lt 15 ] && echo "ok: $name short body does not hang" || fail "$name short body hung"
  out=$("${CURL[@]}" "$base/echo.qz?a=after")
  contains "$name serves after a short body" "$out" "a=after"

  out=$("${CURL[@]}" -o /dev/null -w '%{http_code}' "$base/missing.qz")
  check "$name missing script" "404" "$out"
}

if command -v lighttpd > /dev/null; then
  echo "== lighttpd (mod_cgi)"
  port=$(free_port)
  cat > "$WORK/lighttpd.conf" <<EOF
server.document-root = "$WWW"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$WORK/lighttpd-error.log"
server.modules = ("mod_cgi", "mod_setenv")
server.max-read-idle = 3
cgi.assign = (".qz" => "$QUAZEL")
setenv.add-environment = ("QUAZEL_OUTPUT_CP" => "0")
EOF
  lighttpd -D -f "$WORK/lighttpd.conf" > "$WORK/lighttpd.out" 2>&1 &
  pids+=($!)
  if wait_for "http://127.0.0.1:$port/"; then
    web_suite lighttpd "http://127.0.0.1:$port"
  else
    fail "lighttpd did not start"; cat "$WORK/lighttpd.out" "$WORK/lighttpd-error.log" 2>/dev/null
  fi
  stop_servers
else
  [ -n "${CI:-}" ] && fail "lighttpd is not installed" || echo "skip: lighttpd is not installed (scripts/setup)"
fi

if command -v nginx > /dev/null && command -v fcgiwrap > /dev/null; then
  echo "== nginx + fcgiwrap (empty command line, PATH_TRANSLATED)"
  port=$(free_port)
  mkdir -p "$WORK/nginx/tmp"
  sock=$WORK/nginx/fcgiwrap.sock
  user_line=""
  [ "$(id -u)" -eq 0 ] && user_line="user root;"
  cat > "$WORK/nginx/nginx.conf" <<EOF
$user_line
daemon off;
worker_processes 1;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $WORK/nginx/tmp/body;
  fastcgi_temp_path $WORK/nginx/tmp/fastcgi;
  proxy_temp_path $WORK/nginx/tmp/proxy;
  uwsgi_temp_path $WORK/nginx/tmp/uwsgi;
  scgi_temp_path $WORK/nginx/tmp/scgi;
  client_body_timeout 3s;
  client_max_body_size 16m;
  server {
    listen 127.0.0.1:$port;
    root $WWW;
    location ~ \.qz\$ {
      if (!-f \$request_filename) { return 404; }
      fastcgi_pass unix:$sock;
      fastcgi_param GATEWAY_INTERFACE CGI/1.1;
      fastcgi_param SERVER_PROTOCOL \$server_protocol;
      fastcgi_param REQUEST_METHOD \$request_method;
      fastcgi_param REQUEST_URI \$request_uri;
      fastcgi_param QUERY_STRING \$query_string;
      fastcgi_param CONTENT_TYPE \$content_type;
      fastcgi_param CONTENT_LENGTH \$content_length;
      fastcgi_param SCRIPT_NAME \$fastcgi_script_name;
      fastcgi_param SCRIPT_FILENAME $QUAZEL;
      fastcgi_param PATH_TRANSLATED \$document_root\$fastcgi_script_name;
      fastcgi_param QUAZEL_OUTPUT_CP 0;
    }
  }
}
EOF
  fcgiwrap -c 2 -s "unix:$sock" > "$WORK/nginx/fcgiwrap.out" 2>&1 &
  pids+=($!)
  nginx -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" -e "$WORK/nginx/error.log" > "$WORK/nginx/nginx.out" 2>&1 &
  pids+=($!)
  if wait_for "http://127.0.0.1:$port/"; then
    web_suite nginx "http://127.0.0.1:$port"
  else
    fail "nginx did not start"; cat "$WORK/nginx/nginx.out" "$WORK/nginx/error.log" 2>/dev/null
  fi
  stop_servers
else
  [ -n "${CI:-}" ] && fail "nginx or fcgiwrap is not installed" || echo "skip: nginx/fcgiwrap not installed (scripts/setup)"
fi

echo "== python3 http.server --cgi (script runs by its #! line)"
if ! python3 -c 'import http.server; http.server.CGIHTTPRequestHandler' 2> /dev/null; then
  echo "skip: this python3 has no CGI server"
else
  port=$(free_port)
  mkdir -p "$WORK/py/cgi-bin"
  for s in echo upload; do
    { echo "#!$QUAZEL"; cat "$WWW/$s.qz"; } > "$WORK/py/cgi-bin/$s.qz"
    chmod +x "$WORK/py/cgi-bin/$s.qz"
  done
  (cd "$WORK/py" && exec env QUAZEL_OUTPUT_CP=0 python3 -W ignore -m http.server --cgi --bind 127.0.0.1 "$port" \
     > "$WORK/py/server.out" 2>&1) &
  pids+=($!)
  if wait_for "http://127.0.0.1:$port/"; then
    base="http://127.0.0.1:$port/cgi-bin"
    out=$("${CURL[@]}" "$base/echo.qz?$QUERY")
    check "python GET" "$ECHO_GET" "$out"
    out=$("${CURL[@]}" --data 'p=posted+value' "$base/echo.qz")
    contains "python url-encoded POST" "$out" "p=posted value"
    out=$("${CURL[@]}" -F "bin=@$WORK/all.bin;type=application/octet-stream" -F "txt=@$WORK/text.txt;type=text/plain" \
          -F "plain=just a field" "$base/upload.qz")
    check "python multipart summary" "$UPLOAD_SUMMARY" "$out"
    # This server hands a query without "=" to the script as an argument.
    out=$("${CURL[@]}" "$base/echo.qz?Print+%22PWNED%22~/run")
    contains "python query words are no argument text" "$out" "arg=[]"
    lacks "python query words run no code" "$out" "PWNED"
  else
    fail "python3 http.server did not start"; cat "$WORK/py/server.out"
  fi
  stop_servers
fi

echo
if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all CGI checks passed"
