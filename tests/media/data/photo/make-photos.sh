#!/bin/sh
# Makes the photo reader's test files with ImageMagick and exiftool (Debian:
# imagemagick, libimage-exiftool-perl). Run from anywhere; writes next to
# this script. The expected values in tests/media/PhotoFiles_test.cpp were
# read from `exiftool -s -n` and `exiftool -s` on these files.
set -e
cd "$(dirname "$0")"
IM=/usr/bin/convert
ET="exiftool -q -q -overwrite_original"

# A small JPEG with a full EXIF set, in both byte orders.
for order in II MM; do
  f=exif_$(echo $order | tr IM im).jpg
  $IM -size 32x24 gradient:red-blue -strip -quality 80 "$f"
  $ET -ExifByteOrder=$order \
    -Make="Canon" -Model="Canon PowerShot S95" -Orientation#=6 \
    -XResolution=72 -YResolution=72 -ResolutionUnit#=2 \
    -ImageDescription="A description of exactly eighty characters, which the reader must cut at fifty." \
    -Artist="Ann Example" -Copyright="(c) 2024 Example" -Software="make-photos" \
    -ModifyDate="2024:07:14 10:11:12" -DateTimeOriginal="2024:07:14 09:08:07" \
    -CreateDate="2024:07:14 09:08:07" -SubSecTimeOriginal=42 \
    -ExposureTime=0.005 -FNumber=2.8 -ExposureProgram#=3 -ISO=200 \
    -ShutterSpeedValue=0.00390625 -ApertureValue=2.8 -MaxApertureValue=2.0 \
    -ExposureCompensation=0 -MeteringMode#=5 -LightSource#=1 -EXIF:Flash#=25 \
    -FocalLength=5.8 -ExifImageWidth=3648 -ExifImageHeight=2736 \
    -FocalPlaneXResolution=16460.905 -FocalPlaneYResolution=16483.516 -FocalPlaneResolutionUnit#=2 \
    -ColorSpace#=1 -WhiteBalance#=0 -SceneCaptureType#=0 -ExposureMode#=0 \
    -ComponentsConfiguration#="1 2 3 0" -ExifVersion=0230 \
    -UserComment="Vacances d'ete" \
    -XPTitle="Été à Noël € 2024" \
    -XPComment="A Windows comment that is longer than sixty-four characters, to be read whole." \
    -XPAuthor="Ann Example" -XPKeywords="mer;plage" -XPSubject="Sujet" \
    -GPSLatitudeRef=N -GPSLatitude=48.8566 -GPSLongitudeRef=E -GPSLongitude=2.3522 \
    -GPSAltitudeRef#=0 -GPSAltitude=35 -GPSTimeStamp="08:07:06" -GPSDateStamp="2024:07:14" \
    -GPSMapDatum=WGS-84 \
    "$f"
done

# A UNICODE user comment, a long exposure, and IPTC datasets.
$IM -size 16x16 xc:gray -strip -quality 80 unicode.jpg
$ET -ExifByteOrder=MM -Make="NIKON CORPORATION" -Model="NIKON D70" -UserComment="Café crème" \
  -ExposureTime=2 -FNumber=8 unicode.jpg

$IM -size 16x16 xc:white -strip -quality 80 iptc.jpg
$ET -IPTC:Keywords="alpha" -IPTC:Keywords="beta" -IPTC:Keywords="New York" \
  -IPTC:City="Paris" -IPTC:ObjectName="Tour" -IPTC:By-line="Ann Example" \
  -IPTC:Caption-Abstract="Une legende" -IPTC:Country-PrimaryLocationName="France" \
  -IPTC:SupplementalCategories="one" -IPTC:SupplementalCategories="two" \
  -Make="Canon" -Model="Canon EOS 5D" iptc.jpg

# Only a comment section.
$IM -size 16x16 xc:black -strip -quality 80 comment.jpg
$ET -Comment="Just a comment" comment.jpg

# TIFF files as ImageMagick writes them: the first directory after the pixels.
for e in lsb msb; do
  $IM -size 40x30 gradient:green-yellow -strip -depth 8 -define tiff:endian=$e -compress none \
    -set comment "Written by ImageMagick after the pixels" -set label "Page one" im_$e.tif
done

# TIFF files rewritten by exiftool with EXIF tags (first directory at 8); the
# Intel one is named .nef, as a raw file of that make would be.
for e in lsb msb; do
  $IM -size 40x30 gradient:green-yellow -strip -depth 8 -define tiff:endian=$e -compress none tags_$e.tif
  $ET -Make="NIKON CORPORATION" -Model="NIKON D200" -DateTimeOriginal="2023:01:02 03:04:05" \
    -Artist="Tiff Writer" -ExposureTime=0.25 -FNumber=5.6 -ISO=400 -FocalLength=50 tags_$e.tif
done
mv tags_lsb.tif tags_lsb.nef
ls -l
