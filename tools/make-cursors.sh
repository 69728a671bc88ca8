#!/bin/sh
# Draws the hand cursors (resources/QX_HANDCUR.cur, an open hand, and
# resources/QX_DRAGCUR.cur, a hand that grips, of the controls;
# resources/CURSEUR1.cur, a pointing hand, of the links) from the pixel
# maps below: '#' outline, 'o' fill, '.' transparent. ImageMagick writes the
# 32x32 image as an icon; the header is then patched into a cursor with its
# hot spot in the palm. Run by hand when the artwork changes; the results are
# committed.
set -e
cd "$(dirname "$0")/../resources"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cat > "$tmp/QX_HANDCUR.txt" <<'MAP'
.......##.......
...##.#oo###....
..#oo##oo#oo#...
..#oo##oo#oo#.#.
...#oo#oo#oo##o#
...#oo#oo#oo#oo#
.##.#ooooooo#oo#
#oo##oooooooooo#
#ooo#ooooooooo#.
.#oooooooooooo#.
..#ooooooooooo#.
..#oooooooooo#..
...#ooooooooo#..
....#oooooooo#..
.....#ooooooo#..
.....#ooooooo#..
MAP

cat > "$tmp/QX_DRAGCUR.txt" <<'MAP'
................
................
................
................
....##.##.##....
...#oo#oo#oo##..
...#oo#oo#oo#o#.
....#oooooooooo#
...##ooooooooo#.
..#oooooooooooo#
..#ooooooooooo#.
..#oooooooooo#..
...#ooooooooo#..
....#oooooooo#..
.....#ooooooo#..
.....#ooooooo#..
MAP

cat > "$tmp/CURSEUR1.txt" <<'MAP'
.....##.........
....#oo#........
....#oo#........
....#oo#........
....#oo###......
....#oo#oo###...
.##.#oo#oo#oo##.
#oo##oo#oo#oo#o#
#ooo#ooooooooooo
.#oo#ooooooooooo
..#ooooooooooooo
..#oooooooooooo#
...#ooooooooooo#
....#ooooooooo#.
.....#oooooooo#.
.....#oooooooo#.
MAP

for name in QX_HANDCUR QX_DRAGCUR CURSEUR1; do
  {
    echo '/* XPM */'
    echo 'static char *cursor[] = {'
    echo '"16 16 3 1",'
    echo '". c None",'
    echo '"# c #000000",'
    echo '"o c #FFFFFF",'
    sed 's/.*/"&",/' "$tmp/$name.txt"
    echo '};'
  } > "$tmp/$name.xpm"
  /usr/bin/convert "$tmp/$name.xpm" -background none -gravity northwest -extent 32x32 "$tmp/$name.ico"
  # Resource type 2 (cursor); the directory entry's planes and bit count
  # become the hot spot: the palm (8, 8) of the hands, the fingertip of the
  # pointing one.
  case $name in CURSEUR1) hot="6 0" ;; *) hot="8 8" ;; esac
  perl -e 'local $/; open my $f, "<:raw", $ARGV[0] or die; my $d = <$f>;
           substr($d, 2, 2) = pack("v", 2); substr($d, 10, 4) = pack("vv", $ARGV[2], $ARGV[3]);
           open my $o, ">:raw", $ARGV[1] or die; print $o $d;' "$tmp/$name.ico" "$name.cur" $hot
done
