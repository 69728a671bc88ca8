#!/usr/bin/env python3
"""Cross-checks metadump's photo values against exiftool (-s -n) on the test
files, for the tags whose formats agree. Usage:
  crosscheck.py <metadump> [files...]   (default: the files of this folder)
Prints one line per compared value and a closing 'N passed, N failed'.
Formats that differ by design are listed in DIFFERENT and not compared."""
import glob, os, subprocess, sys

# our name -> exiftool name, for values printed alike.
SAME = {
    "Make": "Make", "Model": "Model", "Artist": "Artist", "Copyright": "Copyright",
    "Software": "Software", "DateTime": "ModifyDate", "DateTimeOriginal": "DateTimeOriginal",
    "DateTimeDigitized": "CreateDate", "ISOSpeedRatings": "ISO", "ImageWidth": "ImageWidth",
    "ImageLength": "ImageHeight", "ExifImageWidth": "ExifImageWidth",
    "ExifImageLength": "ExifImageHeight", "SubSecTimeOriginal": "SubSecTimeOriginal",
    "UserComment": "UserComment", "Title": "XPTitle", "Comments": "XPComment",
    "Author": "XPAuthor", "Keywords": "XPKeywords", "Subject": "XPSubject",
    "GPSLatitudeRef": "GPSLatitudeRef", "GPSLongitudeRef": "GPSLongitudeRef",
    "GPSMapDatum": "GPSMapDatum", "GPSDateStamp": "GPSDateStamp", "PageName": "PageName",
    "StripOffsets": "StripOffsets", "StripByteCounts": "StripByteCounts",
    "SamplesPerPixel": "SamplesPerPixel", "RowsPerStrip": "RowsPerStrip",
    "IPTC:City": "City", "IPTC:ObjectName": "ObjectName", "IPTC:ByLine": "By-line",
    "IPTC:LocationName": "Country-PrimaryLocationName", "IPTC:ImageCaption": "Caption-Abstract",
    "Comment": "Comment",
}
# Deliberate differences (the reader's own formats), not compared:
DIFFERENT = {
    "ExifVersion": "quoted raw bytes (\"0230\")", "FNumber": "F2.8", "ExposureTime": "1/200 sec, 2 sec",
    "XResolution": "72.00", "FocalLength": "' 5.80 mm'", "Orientation": "decode list texts",
    "GPSLatitude": "48\u00b051'23.76'' (exiftool -n: 48.8566)", "GPSTimeStamp": "8:7:6",
    "ApertureValue": "F of the APEX value", "ShutterSpeedValue": "0.0039 sec (1/256)",
    "Flash": "On, auto mode", "ImageDescription": "cut at 50 characters",
    "IPTC:Keywords": "comma text: spaces split items (alpha,beta,New,York)",
    "FocalLengthin35mmFilm": "computed with two decimals (exiftool: 35.7)",
}

def ours(metadump, path):
    out = subprocess.run([metadump, path], capture_output=True).stdout.decode("cp1252")
    vals = {}
    for line in out.splitlines()[1:]:
        k, _, v = line.partition("=")
        vals.setdefault(k, v)
    return vals

def theirs(path):
    out = subprocess.run(["exiftool", "-s", "-n", "-a", "-G0", path], capture_output=True).stdout.decode()
    vals = {}
    for line in out.splitlines():
        group, rest = line[1:].split("]", 1)
        k, _, v = rest.strip().partition(":")
        k = k.strip(); v = v.strip()
        if group.strip() == "IPTC": vals.setdefault(k, v)
        else: vals.setdefault(k, v)
    return vals

def main():
    metadump = sys.argv[1]
    here = os.path.dirname(os.path.abspath(__file__))
    files = sys.argv[2:] or sorted(glob.glob(os.path.join(here, "*.jpg")) + glob.glob(os.path.join(here, "*.tif")) + glob.glob(os.path.join(here, "*.nef")))
    passed = failed = 0
    for f in files:
        a, b = ours(metadump, f), theirs(f)
        for our, their in SAME.items():
            if our not in a or their not in b:
                continue
            x, y = a[our], b[their].replace(" ", ", ") if their in ("StripOffsets", "StripByteCounts") else b[their]
            ok = x == y
            passed += ok; failed += not ok
            print(f"{'ok  ' if ok else 'DIFF'} {os.path.basename(f)} {our}: {x!r} / {y!r}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0

if __name__ == "__main__":
    sys.exit(main())
