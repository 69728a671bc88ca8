// Media value tags over a folder of 1,000 photos and 1,000 MP3 files: names
// computed by reading every file for every tag (the baseline) against the
// value cache, a first pass and a repaint each; the cache must give the
// same names and a repaint must read no file. Then the worst regular-
// expression row: per-search budgets alone against the tag's budget.
// Files are copies of tests/engine/data with their values varied. Under
// Windows (Wine), beside them, the bare system calls over the same files:
// the least a first read needs (open, one read, close) and the calls the
// value tags made before they took the stamp from the open file.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/MediaScriptValues.h"
#include "engine/ScriptInterpreter.h"
#include "tests/engine/DiskFolderReader.h"
#ifdef _WIN32
#include <windows.h>

#include "engine/win32/Win32MediaFiles.h"
#endif

using namespace qv;
using namespace qv::engine;
using namespace qv::bench;
namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 1000;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Replaces every occurrence of from (same length) in bytes.
void Patch(std::string& bytes, const std::string& from, const std::string& to) {
  for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + to.size()))
    bytes.replace(at, from.size(), to);
}

struct TPass {
  double ms = 0;
  TMediaReadStats stats;
  std::vector<std::string> names;
};

TPass Names(TScriptInterpreter& in, TMediaScriptValues& values, const TFileListing& listing) {
  TPass pass;
  values.ResetStats();
  const auto t0 = Clock::now();
  for (size_t i = 0; i < listing.Count(); ++i) {
    const std::string& name = listing.Item(i).FileName;
    const size_t dot = name.rfind('.');
    const std::string_view model = name.substr(dot) == ".jpg" ? "<$E_DateTimeOriginal>_<$E_Model><G0>"
                                                             : "<$M_ARTIST> - <$M_TITLE><G0>";
    pass.names.push_back(in.ExpandScript(i, model, name, name.substr(0, dot)));
  }
  pass.ms = Ms(t0);
  pass.stats = values.Stats();
  return pass;
}

void Print(const char* what, const TPass& p) {
  std::printf("  %-26s %8.2f ms  %6.2f us/file  reads: %4llu photo, %4llu audio\n", what, p.ms,
              1000.0 * p.ms / (2 * kFiles), static_cast<unsigned long long>(p.stats.PhotoReads),
              static_cast<unsigned long long>(p.stats.AudioReads));
}

// Upper-cases every match with per-search budgets only, as the engine
// alone would bound it.
double EngineOnlyRow(const char* expression, const std::string& text, bool& failed) {
  regex::TRegexEngine re;
  re.SetExpression(expression);
  const auto t0 = Clock::now();
  failed = false;
  try {
    if (re.Exec(text))
      while (re.ExecNext()) {
      }
  } catch (const regex::ERegexError&) {
    failed = true;
  }
  return Ms(t0);
}

#ifdef _WIN32
// Bare calls over every file of the folder, in us per file: min of 3 rounds.
template <typename F>
double BareUs(const std::vector<std::wstring>& paths, F&& calls) {
  double best = 1e30;
  for (int round = 0; round < 3; ++round) {
    const auto t0 = Clock::now();
    for (const std::wstring& p : paths) calls(p.c_str());
    best = std::min(best, 1000.0 * Ms(t0) / static_cast<double>(paths.size()));
  }
  return best;
}

void PrintBareCalls(const fs::path& folder) {
  std::vector<std::wstring> paths;
  for (const fs::directory_entry& d : fs::directory_iterator(folder)) paths.push_back(d.path().wstring());
  static char buf[64 * 1024];
  const auto open = [](const wchar_t* p) {
    return CreateFileW(p, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  const double least = BareUs(paths, [&](const wchar_t* p) {
    HANDLE h = open(p);
    DWORD got = 0;
    ReadFile(h, buf, sizeof buf, &got, nullptr);
    CloseHandle(h);
  });
  const double before = BareUs(paths, [&](const wchar_t* p) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExW(p, GetFileExInfoStandard, &data);
    GetFileAttributesExW(p, GetFileExInfoStandard, &data);
    HANDLE h = open(p);
    LARGE_INTEGER size{};
    GetFileSizeEx(h, &size);
    OVERLAPPED at{};
    DWORD got = 0;
    ReadFile(h, buf, static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, sizeof buf)), &got, &at);
    CloseHandle(h);
  });
  const double stamp = BareUs(paths, [&](const wchar_t* p) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExW(p, GetFileExInfoStandard, &data);
  });
  std::printf("bare Win32 calls over the same files (min of 3 rounds):\n");
  std::printf("  %-58s %6.2f us/file\n", "CreateFileW, ReadFile, CloseHandle (the least of a read)", least);
  std::printf("  %-58s %6.2f us/file\n", "2 GetFileAttributesExW, CreateFileW, GetFileSizeEx,", before);
  std::printf("  %-58s\n", "  positioned ReadFile, CloseHandle (the tags' calls before)");
  std::printf("  %-58s %6.2f us/file\n", "GetFileAttributesExW (a repaint's stamp)", stamp);
}
#endif

}  // namespace

int main() {
  const fs::path data = QV_ENGINE_TEST_DATA;
  const std::string photo = ReadAll(data / "Holiday 2006.jpg");
  const std::string song = ReadAll(data / "song.mp3");
  if (photo.empty() || song.empty()) {
    std::fprintf(stderr, "test data not found under %s\n", data.string().c_str());
    return 1;
  }
  const fs::path folder = fs::temp_directory_path() / ("qv_values_bench_" + std::to_string(Clock::now().time_since_epoch().count()));
  fs::create_directories(folder);
  char buf[32];
  for (int i = 0; i < kFiles; ++i) {
    std::string p = photo;
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", i / 3600 % 24, i / 60 % 60, i % 60);
    Patch(p, "09:08:07", buf);
    std::snprintf(buf, sizeof buf, "Exemplar Z%d", i % 10);
    Patch(p, "Exemplar Z5", buf);
    std::snprintf(buf, sizeof buf, "IMG_%04d.jpg", i);
    std::ofstream(folder / buf, std::ios::binary) << p;
    std::string s = song;
    std::snprintf(buf, sizeof buf, "T%06d", i);
    Patch(s, "Chanson", buf);
    std::snprintf(buf, sizeof buf, "track_%04d.mp3", i);
    std::ofstream(folder / buf, std::ios::binary) << s;
  }

  testing::TDiskFolderReader reader;
  TFileListing listing;
  listing.SetFolderReader(&reader);
  TProgramOptions options;
  listing.ScanFolderWide(folder.u16string(), "*.*", kScanAttributes);
  options.Directory = listing.FolderPath;
#ifdef _WIN32
  win32::TWin32MediaFiles files;
  const char* access = "Win32 (wide API)";
#else
  TStdioMediaFiles files;
  const char* access = "stdio";
#endif
  TMediaScriptValues values(options, listing, files);
  TScriptInterpreter in(options, listing, &values);

  std::printf("values_bench: %zu files (%d photos, %d MP3), file access %s\n", listing.Count(), kFiles, kFiles, access);
  std::printf("  photos: \"<$E_DateTimeOriginal>_<$E_Model>\", MP3: \"<$M_ARTIST> - <$M_TITLE>\"\n");
  values.SetCaching(TValueCaching::Off);
  const TPass plain1 = Names(in, values, listing);
  const TPass plain2 = Names(in, values, listing);
  values.SetCaching(TValueCaching::On);
  const TPass cached1 = Names(in, values, listing);
  const TPass cached2 = Names(in, values, listing);
  Print("no cache, first pass", plain1);
  Print("no cache, repaint", plain2);
  Print("cache, first pass", cached1);
  Print("cache, repaint", cached2);
  const bool same = plain1.names == cached1.names && plain1.names == cached2.names && plain1.names == plain2.names;
  const bool noReads = cached2.stats.PhotoReads == 0 && cached2.stats.AudioReads == 0;
  std::printf("  names identical: %s; repaint with cache read no file: %s; repaint %.1fx faster\n",
              same ? "yes" : "NO", noReads ? "yes" : "NO", plain2.ms / cached2.ms);
  std::printf("  e.g. %s | %s\n", plain1.names.front().c_str(), plain1.names.back().c_str());
  // Compares builds and systems: the same files must give the same names,
  // whatever order the folder lists them in.
  std::vector<std::string> sorted = plain1.names;
  std::sort(sorted.begin(), sorted.end());
  uint64_t sum = 14695981039346656037ull;
  for (const std::string& name : sorted)
    for (const char c : name + '\n') sum = (sum ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  std::printf("  checksum of the 2,000 names (FNV-1a): %016llx\n", static_cast<unsigned long long>(sum));
#ifdef _WIN32
  PrintBareCalls(folder);
#endif

  std::printf("worst regular-expression row (255 characters, a match at every one):\n");
  const std::string row(255, 'a');
  for (const char* expression : {"(a|aa){0,12}b|a", "(a|aa){0,16}b|a"}) {
    bool failed = false;
    const double engineMs = EngineOnlyRow(expression, row, failed);
    regex::TRegexEngine re;
    re.SetExpression(expression);
    const auto t0 = Clock::now();
    bool tagFailed = false;
    try {
      RegexTag(re, row, true);
    } catch (const regex::ERegexError&) {
      tagFailed = true;
    }
    std::printf("  %-18s per-search budgets only: %8.2f ms (%s); tag budget: %6.2f ms (%s)\n", expression, engineMs,
                failed ? "error" : "done", Ms(t0), tagFailed ? "error" : "done");
  }
  {
    const auto t0 = Clock::now();
    regex::TRegexEngine re;
    re.SetExpression("a");
    RegexTag(re, row, true);
    std::printf("  %-18s tag budget: %6.3f ms (255 matches)\n", "a", Ms(t0));
  }

  std::error_code ec;
  fs::remove_all(folder, ec);
  return same && noReads ? 0 : 1;
}
