#!/bin/sh
# Round trip of kinst-block on a stand-in PE file:
#   kinst_block_test.sh KINST_BLOCK 7ZZ RES_FOLDER
# The made program must carry a block whose packet 0 is a 7z archive of install_res/*;
# a second block, a file that is not PE and a damaged block must be refused.
set -eu
tool=$1 sevenzz=$2 res=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# "MZ", e_lfanew = 0x40 at 0x3C, "PE\0\0" and a zero file header at 0x40.
{ printf 'MZ'; head -c 58 /dev/zero; printf '\100\0\0\0PE\0\0'; head -c 200 /dev/zero; } >"$work/plain.exe"

"$tool" --res "$res" --in "$work/plain.exe" --out "$work/channel.exe" --7zz "$sevenzz"
"$tool" --check "$work/channel.exe" "$work/packet0.7z" | grep -q 'at offset 268 (found by header field)' ||
  fail "block not found through the header field"
"$sevenzz" l -slt "$work/packet0.7z" | grep '^Path = install_res' | sort >"$work/items"
(cd "$res" && ls | sed 's|^|Path = install_res/|' | sort) | diff - "$work/items" || fail "items differ"
cmp -s "$work/plain.exe" "$work/channel.exe" && fail "nothing appended"

"$tool" --res "$res" --in "$work/channel.exe" --out "$work/twice.exe" --7zz "$sevenzz" 2>/dev/null &&
  fail "a second block was appended"
printf 'plain text, not a program' >"$work/text.exe"
"$tool" --res "$res" --in "$work/text.exe" --out "$work/bad.exe" --7zz "$sevenzz" 2>/dev/null &&
  fail "a file without MZ was taken"
# One byte of packet 0 flipped: the check must fail its CRC-32.
size=$(wc -c <"$work/channel.exe")
cp "$work/channel.exe" "$work/damaged.exe"
printf 'X' | dd of="$work/damaged.exe" bs=1 seek=$((size - 43 - 20)) conv=notrunc 2>/dev/null
"$tool" --check "$work/damaged.exe" 2>/dev/null && fail "damaged packet passed"
echo "kinst-block round trip: ok"
