// Native figures of the portable engine on 100,000 names: mask matching,
// sorting on every key (keys computed once per scan), and the portable
// half of a scan, each against a plain baseline run in the same process.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/FileObject.h"
#include "engine/Masks.h"

using namespace qv::engine;
using namespace qv::bench;

namespace {

std::vector<std::u16string> MakeNames(size_t n) {
  std::mt19937 rng(42);
  const char16_t* exts[] = {u".jpg", u".JPG", u".nef", u".mp3", u".txt", u".png", u".tif", u""};
  const char16_t* stems[] = {u"IMG_", u"DSC", u"Vacances \u00e9t\u00e9 ", u"photo-", u"Scan ", u"P"};
  std::vector<std::u16string> names;
  names.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    std::u16string s = stems[rng() % 6];
    const unsigned num = rng() % 1000000;
    for (char c : std::to_string(num)) s += static_cast<char16_t>(c);
    s += exts[rng() % 8];
    names.push_back(s);
  }
  return names;
}

class MemoryReader : public IFolderReader {
public:
  explicit MemoryReader(const std::vector<std::u16string>& names) {
    std::mt19937 rng(7);
    for (const auto& n : names) {
      TFolderEntry e;
      e.Name = n;
      e.Attributes = 0x20;
      e.Size = rng() % 50000000;
      e.Created = 132000000000000000LL + static_cast<int64_t>(rng()) * 10000;
      e.Modified = e.Created + static_cast<int64_t>(rng() % 100000) * 10000000;
      e.Accessed = e.Modified;
      entries.push_back(e);
    }
  }
  bool ReadFolder(const std::u16string&, const std::function<void(const TFolderEntry&)>& onEntry) override {
    for (const auto& e : entries) onEntry(e);
    return true;
  }
  std::string TypeName(const std::u16string& n) override { return "Fichier " + std::to_string(n.size() % 7); }
  std::vector<TFolderEntry> entries;
};

}  // namespace

int main() {
  const size_t n = 100000;
  const auto wide = MakeNames(n);
  std::vector<std::string> names;
  for (const auto& w : wide) {
    std::string s;
    for (char16_t c : w) s += static_cast<char>(c < 256 ? c : '?');
    names.push_back(s);
  }

  std::printf("== mask matching, %zu names ==\n", n);
  const char* maskTexts[] = {"*.*", "*.jpg", "*.jpg;*.nef;*.tif", "img_*.jp?", "*_?.jpg", "*\xE9t\xE9*"};
  for (const char* mt : maskTexts) {
    TMaskList masks;
    LoadMaskList(mt, masks);
    size_t hits = 0;
    const double ms = Best(5, [&] {
      hits = 0;
      for (const auto& s : names) hits += NameMatchesMaskList(s, masks);
    });
    std::printf("  %-22s %7.2f ms  %6.1f M names/s  (%zu match)\n", mt, ms, n / ms / 1000.0, hits);
  }
  {
    volatile size_t hits = 0;
    const double ms = Best(5, [&] {
      hits = 0;
      for (const auto& s : names) {
        std::string lower = s;  // what any case-insensitive match pays
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        hits = hits + (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".jpg") == 0);
      }
    });
    std::printf("  baseline lower-case copy + suffix \".jpg\" %7.2f ms (%zu match)\n", ms, size_t{hits});
  }

  std::printf("== sorting %zu files ==\n", n);
  MemoryReader reader(wide);
  TFileListing l;
  l.SetFolderReader(&reader);
  const double scan = Best(3, [&] { l.ScanFolder("C:\\bench", "", 41); });
  std::printf("  portable scan (no file system)        %7.2f ms\n", scan);
  const char* keyNames[] = {"", "name", "new name", "size", "created", "modified", "accessed", "short name",
                            "attributes", "type"};
  for (uint8_t key = 1; key <= 9; ++key) {
    // First sort after a scan (keys built), then from a shuffled order
    // with the keys kept (a click on another column and back).
    l.ScanFolder("C:\\bench", "", 41);
    const double first = Best(1, [&] { l.SortFiles(key, true); });
    double again = 1e18;
    for (int r = 0; r < 3; ++r) {
      l.SortFiles(key == 3 ? 8 : 3, true);
      again = std::min(again, Best(1, [&] { l.SortFiles(key, false); }));
    }
    std::printf("  key %u %-11s first %7.2f ms, re-sort %7.2f ms\n", key, keyNames[key], first, again);
  }
  {
    std::vector<std::string> copy;
    const double ms = Best(3, [&] {
      copy = names;
      std::sort(copy.begin(), copy.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
      });
    });
    std::printf("  baseline std::sort + strcasecmp        %7.2f ms\n", ms);
  }
  const double scanSort10k = [&] {
    std::vector<std::u16string> w10(wide.begin(), wide.begin() + 10000);
    MemoryReader r10(w10);
    TFileListing l10;
    l10.SetFolderReader(&r10);
    return Best(5, [&] {
      l10.ScanFolder("C:\\bench", "*.*", 41);
      l10.SortFiles(1, true);
    });
  }();
  const double scanSort100k = Best(3, [&] {
    l.ScanFolder("C:\\bench", "*.*", 41);
    l.SortFiles(1, true);
  });
  std::printf("  portable scan + sort by name: 10k %6.2f ms, 100k %7.2f ms\n", scanSort10k, scanSort100k);
  return 0;
}
