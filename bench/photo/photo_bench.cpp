// photo_bench: files per second, bytes read per file and memory of the photo
// reader on 1,000 small JPEGs and 100 camera-size JPEGs (3-6 MB, metadata at
// the front), against exiftool run once as a batch over the same files.
// The files are generated into a temporary folder and removed afterwards.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "media/ImgData.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using qv::media::TimgData;

namespace {

bool Run(const std::string& cmd) {
  if (std::system(cmd.c_str()) == 0) return true;
  std::fprintf(stderr, "failed: %s\n", cmd.c_str());
  return false;
}

long ResidentKiB() {
  long pages = 0, resident = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double Seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

const char* kExif =
    "-Make=Canon -Model='Canon EOS 5D Mark IV' -Artist='Ann Example' -Copyright='(c) Example' "
    "-ModifyDate='2024:07:14 10:11:12' -DateTimeOriginal='2024:07:14 09:08:07' "
    "-CreateDate='2024:07:14 09:08:07' -ExposureTime=0.005 -FNumber=2.8 -ISO=200 "
    "-ExposureProgram#=3 -MeteringMode#=5 -EXIF:Flash#=16 -FocalLength=50 -ExifImageWidth=2400 "
    "-ExifImageHeight=1800 -FocalPlaneXResolution=1600 -FocalPlaneYResolution=1600 "
    "-FocalPlaneResolutionUnit#=2 -UserComment='Bench' -XPTitle='Titre' "
    "-GPSLatitudeRef=N -GPSLatitude=48.8566 -GPSLongitudeRef=E -GPSLongitude=2.3522 "
    "-GPSAltitude=35 -GPSTimeStamp=08:07:06 -IPTC:Keywords=bench -IPTC:City=Paris";

struct TResult {
  double seconds = 0;
  uint64_t bytes = 0;
  size_t files = 0;
  size_t withExif = 0;
};

TResult ReadAll(TimgData& reader, const std::vector<std::string>& files) {
  TResult r;
  const auto t0 = Clock::now();
  for (const std::string& f : files) {
    qv::media::TStdioFileSource src(f);
    reader.LoadImageMetadata(src.isOpen() ? &src : nullptr, f);
    if (reader.ExifInfo() && !reader.ExifValue("DateTimeOriginal").empty()) ++r.withExif;
    r.bytes += src.bytesRead();
    ++r.files;
  }
  r.seconds = Seconds(t0, Clock::now());
  return r;
}

double ExiftoolBatch(const std::string& dir) {
  const auto t0 = Clock::now();
  Run("exiftool -q -s '" + dir + "' > /dev/null 2>&1");
  return Seconds(t0, Clock::now());
}

void Report(const char* what, const TResult& ours, double exiftool) {
  const double ourRate = ours.files / ours.seconds;
  const double etRate = ours.files / exiftool;
  std::printf("%s: %zu files (%zu with EXIF)\n", what, ours.files, ours.withExif);
  std::printf("  reader   : %10.0f files/s  %8.0f bytes read/file\n", ourRate, double(ours.bytes) / ours.files);
  std::printf("  exiftool : %10.1f files/s  (one batch, %.2f s)\n", etRate, exiftool);
  std::printf("  ratio    : %10.1f x  (goal >= 20 x); bytes/file %s 64 KiB\n", ourRate / etRate,
              double(ours.bytes) / ours.files < 65536 ? "<" : ">=");
}

}  // namespace

int main() {
  char tmpl[] = "/tmp/qv-photo-bench-XXXXXX";
  if (!mkdtemp(tmpl)) return 1;
  const std::string root = tmpl, small = root + "/small", big = root + "/big";
  fs::create_directories(small);
  fs::create_directories(big);
  const std::string im = "/usr/bin/convert";
  std::printf("Generating files in %s ...\n", root.c_str());
  bool ok = Run(im + " -size 64x48 gradient:red-blue -quality 85 " + root + "/s.jpg") &&
            Run("exiftool -q -overwrite_original " + std::string(kExif) + " " + root + "/s.jpg") &&
            Run(im + " -size 2400x1800 xc:gray +noise Random -quality 92 " + root + "/b.jpg") &&
            Run(im + " -size 160x120 gradient:blue-white -quality 80 " + root + "/thumb.jpg") &&
            Run("exiftool -q -overwrite_original " + std::string(kExif) + " '-ThumbnailImage<=" + root +
                "/thumb.jpg' " + root + "/b.jpg");
  if (!ok) return 1;
  std::vector<std::string> smallFiles, bigFiles;
  for (int i = 0; i < 1000; ++i) {
    smallFiles.push_back(small + "/img" + std::to_string(i) + ".jpg");
    fs::copy_file(root + "/s.jpg", smallFiles.back());
  }
  for (int i = 0; i < 100; ++i) {
    bigFiles.push_back(big + "/IMG_" + std::to_string(i) + ".JPG");
    fs::copy_file(root + "/b.jpg", bigFiles.back());
  }
  std::printf("small JPEG %ju bytes, camera-size JPEG %ju bytes\n\n", uintmax_t(fs::file_size(root + "/s.jpg")),
              uintmax_t(fs::file_size(root + "/b.jpg")));

  TimgData reader(255);
  ReadAll(reader, smallFiles);  // warm the page cache and the reader
  const long rss0 = ResidentKiB();
  const TResult s = ReadAll(reader, smallFiles);
  const long rss1 = ResidentKiB();
  for (int i = 0; i < 4; ++i) ReadAll(reader, smallFiles);
  const long rss5 = ResidentKiB();
  const TResult b = ReadAll(reader, bigFiles);

  const double etSmall = ExiftoolBatch(small);
  const double etBig = ExiftoolBatch(big);
  Report("1,000 small JPEGs", s, etSmall);
  Report("100 camera-size JPEGs", b, etBig);
  std::printf("memory: resident %ld KiB before, %ld KiB after 1,000 files, %ld KiB after 5,000 (flat: %s)\n",
              rss0, rss1, rss5, rss5 - rss0 < 256 ? "yes" : "no");
  fs::remove_all(root);
  return 0;
}
