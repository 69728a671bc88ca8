#!/bin/sh
# Creates a private Wine prefix for the tests: fonts, frames drawn by Wine
# (no window manager under Xvfb), and registry seeds that make shell type
# names predictable. Usage: make-prefix.sh <prefix>
set -e
# Every Wine start below runs without address randomisation, which about
# one start in two thousand ends before it runs (see wine-run.sh.in).
if [ -z "$QV_NORANDMAPS" ]; then QV_NORANDMAPS=1 exec setarch "$(uname -m)" -R sh "$0" "$@"; fi
prefix="$1"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 LC_ALL=fr_FR.UTF-8
rm -rf "$prefix"
mkdir -p "$prefix"
# The setup runs without a display; a private server keeps it away from any
# server a test session is using.
unset DISPLAY
wineboot --init </dev/null >/dev/null 2>&1
wineserver -w
mkdir -p "$prefix/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
reg() { wine reg add "$@" /f </dev/null >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
# A crash ends the process instead of waiting in the debugger.
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d ''
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 0
reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y
reg 'HKCR\.jpg' /ve /d jpegfile
reg 'HKCR\.jpeg' /ve /d jpegfile
reg 'HKCR\jpegfile' /ve /d 'Image JPEG'
reg 'HKCR\.mp3' /ve /d mp3file
reg 'HKCR\mp3file' /ve /d 'Son MP3'
reg 'HKCR\.txt' /ve /d txtfile
reg 'HKCR\txtfile' /ve /d 'Document texte'
reg 'HKCR\.tif' /ve /d tiffile
reg 'HKCR\tiffile' /ve /d 'Image TIFF'
wineserver -w
touch "$prefix/.qv-stamp"
