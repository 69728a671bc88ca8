// The simulation run over 10,000 and 100,000 names (native figures): three
// models (unique indexed names; old names in capitals, each a case-only
// change of its own name; one fixed name, so every file after the first
// collides), against building the same names alone in the same run. The
// collision check is a hash map, so 10 times the names must cost about 10
// times the time. Each size runs warm (right after the previous run) and
// cold (after the caches were flushed), interleaved with the other size;
// the quadratic search the check replaces is timed at 10,000 names.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "engine/FileNameRules.h"
#include "engine/FileObject.h"
#include "engine/NameBuilder.h"
#include "engine/ScriptInterpreter.h"
#include "engine/Simulation.h"

using namespace qv::engine;
using namespace qv::bench;

namespace {

class ManyFiles final : public IFolderReader, public IFileOps {
public:
  explicit ManyFiles(size_t n) {
    for (size_t i = 0; i < n; ++i) m_names.push_back(u"IMG_" + Num(i) + u".jpg");
    m_names.push_back(u"Backup");  // an entry that is not listed
  }
  bool ReadFolder(const std::u16string&, const std::function<void(const TFolderEntry&)>& onEntry) override {
    TFolderEntry e;
    e.Attributes = kAttrArchive;
    for (const auto& n : m_names) {
      e.Name = n;
      e.Attributes = n == u"Backup" ? kAttrDirectory : kAttrArchive;
      onEntry(e);
    }
    return true;
  }
  std::string TypeName(const std::u16string&) override { return "Image"; }
  bool ListFolder(const std::u16string&, const std::function<void(const std::u16string&, bool)>& onEntry) override {
    for (const auto& n : m_names) onEntry(n, n == u"Backup");
    return true;
  }
  // The simulation touches nothing else.
  TFileResult Rename(const std::u16string&, const std::u16string&) override { return Fail(); }
  TFileResult CopyNoOverwrite(const std::u16string&, const std::u16string&) override { return Fail(); }
  TFileResult CreateFolder(const std::u16string&) override { return Fail(); }
  TFileResult SetAttributes(const std::u16string&, uint32_t) override { return Fail(); }
  TFileResult SetDateTime(const std::u16string&, const TCalendarTime&, int) override { return Fail(); }
  TFileResult RestoreTimes(const std::u16string&, int64_t, int64_t, int64_t) override { return Fail(); }
  bool Exists(const std::u16string&) override { return false; }
  bool FolderExists(const std::u16string&) override { return true; }
  std::optional<std::u16string> ExactName(const std::u16string&) override { return std::nullopt; }
  std::unique_ptr<IOutputFile> OpenForWriting(const std::u16string&, TOpenMode, TFileResult& e) override {
    e = Fail();
    return nullptr;
  }

private:
  static TFileResult Fail() { return TFileResult::Fail(TFileError::Other); }
  std::vector<std::u16string> m_names;
};

// What a dialog costs the run at least: the texts are taken, nothing drawn.
class Sink final : public IRunObserver {
public:
  void SetLabelStatus(const std::string& t) override { bytes += t.size(); }
  void SetPanelStatus(const std::string& t) override { bytes += t.size(); }
  void AppendMemoLine(const std::string& t) override {
    bytes += t.size();
    ++lines;
  }
  size_t bytes = 0, lines = 0;
};

enum class Model { Indexed, Capitals, OneName };

void SetModel(TProgramOptions& o, Model m) {
  o = TProgramOptions();
  if (m == Model::Indexed) {
    o.NameFile = "Photo_";
    o.Format = 6;
  } else if (m == Model::Capitals) {
    o.NoFile = true;
    o.CasseFile = 1;
    o.NoneIndice = true;
  } else {
    o.NameFile = "Photo";
    o.NoneIndice = true;
  }
}

// Pushes the caches' contents out, so a run starts cold.
void EvictCaches() {
  static std::vector<char> buffer(64 << 20);
  for (size_t i = 0; i < buffer.size(); i += 64) buffer[i] = static_cast<char>(buffer[i] + 1);
}

struct World {
  explicit World(size_t n) : disk(n), names(options, interpreter), ctx(listing, options, names, disk) {
    listing.SetFolderReader(&disk);
    listing.ScanFolder("C:\\Photos", "*.*", kScanAttributes);
  }
  ManyFiles disk;
  TFileListing listing;
  TProgramOptions options;
  TScriptInterpreter interpreter{options, listing};
  TNameBuilder names;
  TRunContext ctx;
};

}  // namespace

int main() {
  const char* modelNames[] = {"indexed names", "capitals (case only)", "one name (all collide)"};
  World small(10000), large(100000);
  World* worlds[] = {&small, &large};
  for (int m = 0; m < 3; ++m) {
    std::printf("== %s ==\n", modelNames[m]);
    double namesOnly[2], warm[2] = {1e18, 1e18}, cold[2] = {1e18, 1e18};
    TSimulationSummary s[2];
    for (int w = 0; w < 2; ++w) {
      World& x = *worlds[w];
      SetModel(x.options, static_cast<Model>(m));
      size_t built = 0;
      namesOnly[w] = Best(5, [&] {
        for (size_t i = 0; i < x.listing.Count(); ++i) built += x.names.BuildNewName(x.listing[i].FileName, i).size();
      });
    }
    // Interleaved, so both sizes see the same machine load.
    for (int r = 0; r < 7; ++r) {
      for (int w = 0; w < 2; ++w) {
        Sink sink;
        warm[w] = std::min(warm[w], Best(1, [&] { s[w] = RunSimulation(worlds[w]->ctx, sink); }));
        EvictCaches();
        cold[w] = std::min(cold[w], Best(1, [&] { s[w] = RunSimulation(worlds[w]->ctx, sink); }));
      }
    }
    for (int w = 0; w < 2; ++w)
      std::printf("  %6zu files: names alone %7.1f ms, simulation %7.1f ms warm, %7.1f ms cold   (%lld possible, %lld errors)\n",
                  worlds[w]->listing.Count(), namesOnly[w], warm[w], cold[w], static_cast<long long>(s[w].Possible),
                  static_cast<long long>(s[w].Errors));
    std::printf("  100,000 / 10,000 names: x%.2f warm, x%.2f cold (goal <= 11); names alone x%.2f, simulation less "
                "names x%.2f\n",
                warm[1] / warm[0], cold[1] / cold[0], namesOnly[1] / namesOnly[0],
                (warm[1] - namesOnly[1]) / (warm[0] - namesOnly[0]));
  }
  // The quadratic search the hash map replaces: each new name against
  // every other current name, at 10,000 names.
  SetModel(small.options, Model::Indexed);
  std::vector<std::string> current(small.listing.Count()), next(small.listing.Count());
  for (size_t i = 0; i < small.listing.Count(); ++i) {
    current[i] = FileNameKey(small.listing[i].FileName);
    next[i] = FileNameKey(small.names.BuildNewName(small.listing[i].FileName, i));
  }
  size_t hits = 0;
  const double quadratic = Best(1, [&] {
    for (size_t i = 0; i < next.size(); ++i)
      for (size_t j = 0; j < current.size(); ++j)
        if (j != i && current[j] == next[i]) ++hits;
  });
  std::printf("== quadratic search at 10,000 indexed names: %.1f ms (%zu hits) ==\n", quadratic, hits);
  return 0;
}
