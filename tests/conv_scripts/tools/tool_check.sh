#!/bin/bash
# sys.Conv against the system tools: file and text digests against md5sum and sha1sum (files
# around the 32768-byte read size), code-page tables and page conversions against iconv.
# Usage: tool_check.sh QUAZEL TOOLS_FOLDER
# (The scripts take "go" before the folder: a first argument that starts with "/" would be read
# as the separator of the command line.)
set -u
quazel=$1
tools=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for tool in md5sum sha1sum iconv; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# --- digests ---
head -c 0 /dev/urandom > "$work/empty.bin"
for n in 1 32767 32768 32769 100000; do head -c $n /dev/urandom > "$work/r$n.bin"; done
files="empty.bin r1.bin r32767.bin r32768.bin r32769.bin r100000.bin"
out=$(QUAZEL_LANGID=1049 "$quazel" "$tools/hashes.qz" go "$work/" $files) || fail "hashes.qz exit status $?"
upper() { tr 'a-f' 'A-F'; }
for f in $files; do
  want="$f $(md5sum < "$work/$f" | cut -d' ' -f1 | upper) $(sha1sum < "$work/$f" | cut -d' ' -f1 | upper)"
  grep -qxF "$want" <<<"$out" || fail "digest of $f: want '$want', got '$(grep "^$f " <<<"$out")'"
done
text_line() {  # name, text bytes
  echo "$1 $(printf '%s' "$2" | md5sum | cut -d' ' -f1 | upper) $(printf '%s' "$2" | sha1sum | cut -d' ' -f1 | upper)"
}
for want in "$(text_line text-abc abc)" "$(text_line text-empty '')" \
            "$(text_line text-cyrillic "$(printf 'Съешь же' | iconv -f UTF-8 -t CP1251)")"; do
  grep -qxF "$want" <<<"$out" || fail "text digest: want '$want', got '$(grep "^${want%% *} " <<<"$out")'"
done

# --- code pages ---
sample='Съешь же ещё этих мягких французских булок, да выпей чаю. ЁЖИК 0123456789 !"#%&()*+,-./:;<=>?'
printf '%s\r\n' "$sample" | iconv -f UTF-8 -t CP1251 > "$work/sample.1251"
# The ISO pair table carries ё but not Ё.
printf '%s\r\n' "${sample//Ё/Е}" | iconv -f UTF-8 -t CP1251 > "$work/sample-iso.1251"
iconv -f CP1251 -t KOI8-R < "$work/sample.1251" > "$work/iconv.koi8r"
iconv -f CP1251 -t CP866 < "$work/sample.1251" > "$work/iconv.cp866"
iconv -f CP1251 -t ISO-8859-5 < "$work/sample-iso.1251" > "$work/iconv.iso"
iconv -f CP1251 -t UTF-8 < "$work/sample.1251" > "$work/iconv.utf8"
QUAZEL_LANGID=1049 "$quazel" "$tools/codepages.qz" go "$work/" > /dev/null || fail "codepages.qz exit status $?"
same() { cmp -s "$work/$1" "$work/$2" || fail "$1 differs from $2 ($(cmp "$work/$1" "$work/$2" 2>&1 | head -1))"; }
same tables.koi8r iconv.koi8r
same tables.cp866 iconv.cp866
same tables.iso iconv.iso
same back-koi8r.1251 sample.1251
same back-cp866.1251 sample.1251
same back-iso.1251 sample-iso.1251
same pages.utf8 iconv.utf8
same pages.koi8r iconv.koi8r
same pages.cp866 iconv.cp866
same pages.iso iconv.iso
same back-utf8.1251 sample.1251
same back-pages-koi8r.1251 sample.1251
same back-pages-cp866.1251 sample.1251

if [ $failures -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
echo "all tool checks passed"
