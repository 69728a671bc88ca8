// Windows figures (run under Wine): a rename run of 2,000 files with its
// report against a bare MoveFileW loop over the same folder, in the same
// run and interleaved (each pass renames every file once, so the folder
// keeps its size); also the run without report and with an unbuffered
// report (one WriteFile per piece of line) and with one flushed to disk
// after every piece, to show what buffering saves. Last, the run over the
// same folder named in another letter case (as the folder edit keeps it),
// beside 2,000 other entries, against the run under the disk's spelling.
// Usage: runs_rename_bench [files]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/FileObject.h"
#include "engine/NameBuilder.h"
#include "engine/Report.h"
#include "engine/Runs.h"
#include "engine/ScriptInterpreter.h"
#include "engine/win32/WideText.h"
#include "engine/win32/Win32FileOps.h"
#include "engine/win32/Win32FolderReader.h"

using namespace qv::engine;
using qv::engine::win32::U16;
using qv::engine::win32::W;
using namespace qv::bench;

namespace {

std::vector<std::u16string> Names(const std::u16string& dir) {
  std::vector<std::u16string> out;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(W(dir + u"\\*"), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(U16(fd.cFileName));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return out;
}

void Empty(const std::u16string& dir) {
  for (const auto& n : Names(dir)) DeleteFileW(W(dir + u"\\" + n));
}

class Quiet final : public IRunObserver {};

// A report file flushed to disk after every write: what writing each line's
// first piece to disk before its rename would cost.
class FlushedFile final : public IOutputFile {
public:
  explicit FlushedFile(const std::u16string& path)
      : m_h(CreateFileW(W(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr)) {}
  ~FlushedFile() override { Close(); }
  TFileResult Write(const char* data, size_t size) override {
    DWORD n = 0;
    if (!WriteFile(m_h, data, static_cast<DWORD>(size), &n, nullptr) || !FlushFileBuffers(m_h))
      return TFileResult::Fail(TFileError::Other);
    return TFileResult::Ok();
  }
  TFileResult Close() override {
    if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
    m_h = INVALID_HANDLE_VALUE;
    return TFileResult::Ok();
  }

private:
  HANDLE m_h;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const size_t files = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2000;
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const std::u16string base = U16(tmp) + u"qv_runs_bench";
  std::u16string dir = base + u"\\photos";
  const std::u16string reports = base + u"\\Rapports";
  CreateDirectoryW(W(base), nullptr);
  CreateDirectoryW(W(dir), nullptr);
  Empty(dir);
  for (size_t i = 0; i < files; ++i) {
    HANDLE h = CreateFileW(W(dir + u"\\IMG_" + Num(i) + u".jpg"), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      std::printf("cannot create the test files\n");
      return 1;
    }
    CloseHandle(h);
  }

  win32::TWin32FileOps fs;
  win32::TWin32FolderReader reader;
  TFileListing listing;
  listing.SetFolderReader(&reader);
  listing.SetTimeZone(win32::SystemTimeZone());
  TProgramOptions options;
  options.Format = 5;
  TScriptInterpreter interpreter(options, listing);
  TNameBuilder names(options, interpreter);
  TRunContext ctx(listing, options, names, fs);
  ctx.Now = [] { return 45000.5; };
  Quiet quiet;

  int pass = 0;
  // One pass of our run; the report kind: 0 none, 1 buffered, 2 unbuffered,
  // 3 flushed to disk per piece.
  auto ours = [&](int reportKind) {
    listing.ScanFolderWide(dir, "*.*", kScanAttributes);
    options.NameFile = "R" + std::to_string(++pass) + "_";
    const auto a = Clock::now();
    std::unique_ptr<TReportWriter> report;
    if (reportKind == 1) {
      report = OpenReport(fs, qv::base::Utf16ToCp1252(reports), "bench.txt", TOpenMode::Replace).Writer;
    } else if (reportKind == 2) {
      CreateDirectoryW(W(reports), nullptr);
      TFileResult e;
      report = std::make_unique<TReportWriter>(fs.OpenForWriting(reports + u"\\bench.txt", TOpenMode::Replace, e),
                                               "bench.txt", 1);
    } else if (reportKind == 3) {
      CreateDirectoryW(W(reports), nullptr);
      report = std::make_unique<TReportWriter>(std::make_unique<FlushedFile>(reports + u"\\bench.txt"), "bench.txt", 1);
    }
    const TRunSummary s = RunRename(ctx, quiet, report.get());
    if (report) report->Close();
    const double ms = Ms(a, Clock::now());
    if (s.Renamed != static_cast<int64_t>(files)) std::printf("  (only %lld renamed)\n", static_cast<long long>(s.Renamed));
    return ms;
  };
  auto bare = [&] {
    const std::vector<std::u16string> current = Names(dir);
    const std::u16string prefix = u"B" + Num(++pass) + u"_";
    const auto a = Clock::now();
    for (size_t i = 0; i < current.size(); ++i)
      MoveFileW(W(dir + u"\\" + current[i]), W(dir + u"\\" + prefix + Num(i) + u".jpg"));
    return Ms(a, Clock::now());
  };

  std::vector<double> tBare, tOurs, tNoReport, tUnbuffered, tFlushed;
  // The order turns each round, so no kind always follows the same one.
  for (int r = 0; r < 5; ++r) {
    for (int k = 0; k < 5; ++k) {
      switch ((r + k) % 5) {
        case 0: tBare.push_back(bare()); break;
        case 1: tOurs.push_back(ours(1)); break;
        case 2: tNoReport.push_back(ours(0)); break;
        case 3: tUnbuffered.push_back(ours(2)); break;
        default: tFlushed.push_back(ours(3)); break;
      }
    }
  }
  const double b = Median(tBare), o = Median(tOurs);
  std::printf("== rename run of %zu files (median of 5 passes, interleaved) ==\n", files);
  std::printf("  bare MoveFileW loop              %8.1f ms\n", b);
  std::printf("  our run, report on (buffered)    %8.1f ms   ratio %.2f (goal <= 1.3)\n", o, o / b);
  std::printf("  our run, no report               %8.1f ms   ratio %.2f\n", Median(tNoReport), Median(tNoReport) / b);
  std::printf("  our run, report unbuffered       %8.1f ms   ratio %.2f\n", Median(tUnbuffered),
              Median(tUnbuffered) / b);
  std::printf("  our run, report flushed per piece %7.1f ms   ratio %.2f\n", Median(tFlushed), Median(tFlushed) / b);
  std::printf("  best of 5: bare %.1f ms, ours %.1f ms, ratio %.2f\n", *std::min_element(tBare.begin(), tBare.end()),
              *std::min_element(tOurs.begin(), tOurs.end()),
              *std::min_element(tOurs.begin(), tOurs.end()) / *std::min_element(tBare.begin(), tBare.end()));

  // Windows ignores letter case; a file call under another spelling must
  // cost about what it costs under the disk's own, even beside a big parent.
  std::vector<std::u16string> siblings;
  for (size_t i = 0; i < 2000; ++i) {
    siblings.push_back(base + u"\\autre_" + Num(i) + u".txt");
    HANDLE h = CreateFileW(W(siblings.back()), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  std::u16string lowered = dir;
  CharLowerBuffW(reinterpret_cast<wchar_t*>(lowered.data()), static_cast<DWORD>(lowered.size()));
  const std::u16string diskDir = dir;
  std::vector<double> tDisk, tLowered;
  for (int r = 0; r < 6; ++r) {
    const bool low = (r % 2) == 1;
    dir = low ? lowered : diskDir;
    (low ? tLowered : tDisk).push_back(ours(1));
  }
  dir = diskDir;
  for (const auto& s : siblings) DeleteFileW(W(s));
  const double d = Median(tDisk), l = Median(tLowered);
  std::printf("== the same run, folder named in lower case beside 2,000 entries (median of 3) ==\n");
  std::printf("  folder as on disk                %8.1f ms\n", d);
  std::printf("  folder in lower case             %8.1f ms   ratio %.2f (goal <= 1.1)\n", l, l / d);
  std::printf("  (lower-case spelling: %s)\n", qv::base::Utf16ToCp1252(lowered).c_str());

  Empty(dir);
  RemoveDirectoryW(W(dir));
  DeleteFileW(W(reports + u"\\bench.txt"));
  RemoveDirectoryW(W(reports));
  RemoveDirectoryW(W(base));
  return 0;
}
