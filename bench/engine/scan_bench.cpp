// Windows figures (run under Wine): our scan of 10,000 and 100,000 files
// against a bare FindFirstFileW/FindNextFileW loop over the same folder in
// the same run, scan + sort, and shell type names cached per extension
// against one shell call per file.
// Usage: scan_bench [folder]: the test files go in folder\f10000 and
// folder\f100000 (IMG_<i> with eight extensions in turn), made when absent.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "bench/BenchTiming.h"
#include "engine/FileObject.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FolderReader.h"

using namespace qv::engine;
using namespace qv::bench;

namespace {

const char16_t* kExts[] = {u".jpg", u".nef", u".mp3", u".txt", u".png", u".tif", u".doc", u".avi"};

bool Fill(const std::u16string& dir, size_t n) {
  CreateDirectoryW(win32::W(dir), nullptr);
  for (size_t i = 0; i < n; ++i) {
    const std::u16string p = dir + u"\\IMG_" + Num(i) + kExts[i % 8];
    HANDLE h = CreateFileW(win32::W(p), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
  }
  return true;
}

void Empty(const std::u16string& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(win32::W(dir + u"\\*"), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileW(win32::W(dir + u"\\" + win32::U16(fd.cFileName)));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(win32::W(dir));
}

// The baseline: a bare loop that touches what a listing needs.
size_t BareLoop(const std::u16string& dir, uint64_t& total) {
  WIN32_FIND_DATAW fd;
  const std::u16string pattern = dir + u"\\*.*";
  HANDLE h = FindFirstFileW(win32::W(pattern), &fd);
  size_t n = 0;
  total = 0;
  if (h == INVALID_HANDLE_VALUE) return 0;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    ++n;
    total += (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  std::u16string base = argc > 1 ? win32::U16(std::string(argv[1])) : win32::U16(tmp) + u"qv_scan_bench";
  CreateDirectoryW(win32::W(base), nullptr);

  win32::TWin32FolderReader reader;
  for (size_t n : {size_t{10000}, size_t{100000}}) {
    const std::u16string dir = base + u"\\f" + Num(n);
    uint64_t total = 0;
    // Creating 100,000 files through Wine takes minutes: a folder made
    // beforehand (for example with touch on the Unix side) is used as is.
    const bool ready = BareLoop(dir, total) >= n;
    const auto t0 = Clock::now();
    if (!ready && !Fill(dir, n)) {
      std::printf("cannot create the test files\n");
      return 1;
    }
    std::printf("== %zu files (%s in %.0f ms) ==\n", n, ready ? "found" : "created", Ms(t0, Clock::now()));
    size_t bareCount = 0, ourCount = 0;
    const int runs = n > 10000 ? 3 : 5;
    // Interleaved so both see the same cache state.
    double bare = 1e18, ours = 1e18, oursSorted = 1e18;
    TFileListing l;
    l.SetFolderReader(&reader);
    l.SetTimeZone(win32::SystemTimeZone());
    for (int r = 0; r < runs; ++r) {
      bare = std::min(bare, Best(1, [&] { bareCount = BareLoop(dir, total); }));
      ours = std::min(ours, Best(1, [&] { ourCount = l.ScanFolderWide(dir, "*.*", kScanAttributes); }));
      oursSorted = std::min(oursSorted, Best(1, [&] {
                              l.ScanFolderWide(dir, "*.*", kScanAttributes);
                              l.SortFiles(1, true);
                            }));
    }
    std::printf("  bare FindFirstFileW loop  %8.1f ms (%zu files)\n", bare, bareCount);
    std::printf("  our scan (masks, times, type names cached)  %8.1f ms (%zu files), ratio %.2f\n", ours, ourCount,
                ours / bare);
    std::printf("  our scan + sort by name   %8.1f ms\n", oursSorted);
    if (!ready) Empty(dir);
  }

  // Type names: one shell call per file against the per-extension cache.
  const int calls = 2000;
  const double uncached = Best(1, [&] {
    for (int i = 0; i < calls; ++i) win32::GetShellTypeName(u"IMG_" + Num(i) + kExts[i % 8]);
  });
  std::printf("== shell type names ==\n  uncached: %.3f ms a call -> %.1f s for 100,000 files\n", uncached / calls,
              uncached / calls * 100000 / 1000.0);
  win32::TShellIconCache icons;
  const double iconsUncached = Best(1, [&] {
    for (int i = 0; i < calls; ++i) win32::GetSystemIconIndex(u"IMG_" + Num(i) + kExts[i % 8]);
  });
  const double iconsCached = Best(1, [&] {
    for (int i = 0; i < 100000; ++i) icons.IconIndex(u"IMG_" + Num(i) + kExts[i % 8]);
  });
  std::printf("  icons uncached: %.3f ms a call; cached per extension: %.1f ms for 100,000 rows\n",
              iconsUncached / calls, iconsCached);
  RemoveDirectoryW(win32::W(base));
  return 0;
}
