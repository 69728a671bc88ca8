#!/bin/sh
# Installs what is missing, builds the program and starts it under Wine on a
# folder (the sample folder shipped in the repository when none is given).
# Without an X display it runs inside Xvfb, saves a screenshot to
# build/screenshot.png and ends.
set -e
cd "$(dirname "$0")"
root=$(pwd)
./tools/install-deps.sh
export LC_ALL=fr_FR.UTF-8
folder="${1:-$root/samples}"
[ -d "$folder" ] || { echo "Dossier introuvable : $folder" >&2; exit 1; }
folder=$(cd "$folder" && pwd)

cmake --preset windows >/dev/null
cmake --build --preset windows --target QuorvantPro wineprefix

build="$root/build/windows"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
winfolder="Z:$(echo "$folder" | tr '/' '\\')"
exe="$build/app/QuorvantPro.exe"

if [ -n "$DISPLAY" ]; then
  exec wine "$exe" "$winfolder"
fi

echo "Pas d'affichage X : lancement dans Xvfb."
xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
  wineserver -p </dev/null >/dev/null 2>&1
  wine "$1" "$2" </dev/null >/dev/null 2>&1 &
  sleep 6
  import -window root "$3"
  wineserver -k
' run "$exe" "$winfolder" "$root/build/screenshot.png"
echo "Capture d'écran enregistrée : build/screenshot.png"
