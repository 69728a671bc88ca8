// BuildNewName over 100,000 names for four models (fixed text + index; a
// case-and-cut script; R/S tags; a date tag), in names per second, against
// a bare loop that only formats "SansNom_<n>.jpg" in the same run; and the
// resident memory after 10,000 and after 100,000 names of each model (the
// builder keeps nothing per name, so it must stay flat).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/FileObject.h"
#include "engine/FolderReader.h"
#include "engine/NameBuilder.h"
#include "engine/ScriptInterpreter.h"

#ifdef __linux__
#include <unistd.h>
#endif

using namespace qv::engine;

namespace {

constexpr size_t kNames = 100000;

// Resident set in KiB, or -1 where it cannot be read.
long ResidentKiB() {
#ifdef __linux__
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
    std::fclose(f);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
  }
#endif
  return -1;
}

class ManyFiles : public IFolderReader {
public:
  explicit ManyFiles(const std::vector<std::string>& names) : m_names(names) {}
  bool ReadFolder(const std::u16string&, const std::function<void(const TFolderEntry&)>& onEntry) override {
    TFolderEntry e;
    for (size_t i = 0; i < m_names.size(); ++i) {
      e.Name.assign(m_names[i].begin(), m_names[i].end());
      e.Created = 128120000000000000 + static_cast<int64_t>(i) * 864000000000 / 7;
      e.Modified = e.Accessed = e.Created;
      onEntry(e);
    }
    return true;
  }
  std::string TypeName(const std::u16string&) override { return {}; }

private:
  const std::vector<std::string>& m_names;
};

double Seconds(const std::function<void()>& run) {
  double best = 1e9;
  for (int rep = 0; rep < 5; ++rep) {
    const auto t0 = std::chrono::steady_clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  return best;
}

}  // namespace

int main() {
  std::vector<std::string> names;
  names.reserve(kNames);
  for (size_t i = 0; i < kNames; ++i)
    names.push_back("IMG_" + std::to_string(100000 + i).substr(1) + (i % 3 ? " vacances \xE0 Paris.jpg" : " Holiday.JPG"));

  TProgramOptions o;
  ManyFiles reader(names);
  TFileListing listing;
  listing.SetFolderReader(&reader);
  listing.ScanFolder("D:\\Photos\\Paris", "", kScanAttributes);
  TScriptInterpreter interpreter(o, listing);
  interpreter.SetFolderName("Paris");
  TNameBuilder builder(o, interpreter);

  size_t sink = 0;
  const double base = Seconds([&] {
    for (size_t i = 0; i < kNames; ++i) {
      std::string s = "SansNom_" + std::to_string(i);
      s += ".jpg";
      sink += s.size();
    }
  });
  std::printf("names_bench: %zu names, %zu files listed\n", kNames, listing.Count());
  std::printf("%-34s %12s %10s %12s %12s\n", "model", "names/s", "time/base", "RSS@10k KiB", "RSS@100k KiB");
  std::printf("%-34s %12.0f %10s\n", "baseline: \"SansNom_<n>.jpg\"", kNames / base, "1.00");

  struct Model {
    const char* label;
    std::function<void(TProgramOptions&)> set;
  };
  const Model models[] = {
      {"fixed \"SansNom_\" + index",
       [](TProgramOptions& o) {
         o.NameFile = "SansNom_";
         o.Format = 5;
       }},
      {"script \"<U1><L20>_<C3>\"",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.NameFile = "<U1><L20>_<C3>";
       }},
      {"script \"<R1=a?4><S1= ><R3=img?Photo>\"",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.NameFile = "<R1=a?4><S1= ><R3=img?Photo>";
       }},
      {"script \"<$D_CREATE[10]>_<G8>\"",
       [](TProgramOptions& o) {
         o.ScriptFile = true;
         o.NameFile = "<$D_CREATE[10]>_<G8>";
       }},
  };
  for (const Model& m : models) {
    o = TProgramOptions();
    m.set(o);
    auto run = [&](size_t count) {
      for (size_t i = 0; i < count; ++i) sink += builder.BuildNewName(names[i], i).size();
    };
    run(10000);
    const long rss10k = ResidentKiB();
    run(kNames);
    const long rss100k = ResidentKiB();
    const double t = Seconds([&] { run(kNames); });
    std::printf("%-34s %12.0f %10.2f %12ld %12ld\n", m.label, kNames / t, t / base, rss10k, rss100k);
    std::printf("  e.g. %s -> %s\n", names[1].c_str(), builder.BuildNewName(names[1], 1).c_str());
  }
  std::printf("(checksum %zu)\n", sink);
  return 0;
}
