#!/bin/sh
# Makes the archives of the 7z extraction tests:
#   make_archives.sh 7ZZ OUTPUT_FOLDER
#
#   items.7z    the files under items/ plus big.txt (the numbers 1 to 400000, one a line:
#               about 2.6 MB, so the reader hands it over in many blocks)
#   drivers.7z  the files under drivers/
#   hostile.7z  item names that climb out of the target folder, carry a drive or are
#               absolute, then z_kept.txt, which must still be written
# Every archive is LZMA and solid, as the block tool makes them.
set -eu
sevenzz=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

add() {
  archive=$out/$1
  shift
  rm -f "$archive"
  "$sevenzz" a -t7z -m0=lzma -bso0 -bsp0 "$archive" "$@"
}

cp -R "$here/items" "$work/items"
seq 1 400000 > "$work/items/big.txt"
(cd "$work/items" && add items.7z install_res/6000.xml top.txt sub/deeper/note.txt empty.txt big.txt)
(cd "$here/drivers" && add drivers.7z DRIVER.SYS a.b.sys sys.txt)

# -spf keeps "..", the colon and the absolute path as written.
mkdir -p "$work/hostile/in/sub"
echo escaped > "$work/hostile/escape.txt"
echo drive > "$work/hostile/in/C:drive.txt"
echo absolute > "$work/hostile/in/absolute.txt"
echo kept > "$work/hostile/in/z_kept.txt"
(cd "$work/hostile/in" &&
  add hostile.7z -spf ../escape.txt sub/../../escape.txt C:drive.txt "$work/hostile/in/absolute.txt" z_kept.txt)
