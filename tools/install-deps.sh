#!/bin/sh
# Installs, on Debian 12 as root, whatever the build and the tests need and
# this machine lacks; generates the French locale. Quiet when all is there.
set -e
pkgs="g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xauth imagemagick
      googletest ninja-build cmake clang libclang-rt-14-dev locales
      libimage-exiftool-perl python3-mutagen libpcre2-dev libbenchmark-dev perl
      python3 fp-utils"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installation de :$missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq $missing >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
  localedef -i fr_FR -f UTF-8 fr_FR.UTF-8
fi
