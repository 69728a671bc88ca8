// The simulation run; see Simulation.h.
#include "engine/Simulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/CodePage.h"
#include "engine/FileNameRules.h"
#include "engine/TextUtils.h"

namespace qv::engine {

namespace {

constexpr char kNoFileFound[] = "Aucun fichier trouv\xE9 dans le dossier sp\xE9" "cifi\xE9";
constexpr char kRunning[] = "Simulation en cours...";

int Digits(size_t n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

uint64_t Hash(std::string_view s) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  h ^= h >> 33;
  return h;
}

// How many folder entries hold each name, by the file system's key. Open
// addressing over 8-byte slots (a hash fragment and an id) with the keys
// packed in one arena, so a lookup at 100,000 names costs about one cache
// miss for the slot and one for the key; each distinct key gets a stable id.
class TNameCounts {
public:
  explicit TNameCounts(size_t expected) {
    size_t cap = 64;
    while (cap < expected * 2) cap *= 2;
    m_slots.assign(cap, Slot{});
    m_spans.reserve(expected);
    m_counts.reserve(expected);
    m_arena.reserve(expected * 16);
  }
  // The id of key (whose Hash is h), inserted with count 0 when new.
  uint32_t Id(std::string_view key, uint64_t h) {
    const uint32_t tag = static_cast<uint32_t>(h >> 32);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      const Slot slot = m_slots[i];
      if (slot.id == 0) {
        m_spans.push_back({m_arena.size(), key.size()});
        m_arena.append(key);
        m_counts.push_back(0);
        m_slots[i] = {tag, static_cast<uint32_t>(m_spans.size())};
        const uint32_t id = static_cast<uint32_t>(m_spans.size() - 1);
        if (m_spans.size() * 2 > m_slots.size()) Grow();
        return id;
      }
      if (slot.tag == tag && Key(slot.id - 1) == key) return slot.id - 1;
    }
  }
  int32_t& Count(uint32_t id) { return m_counts[id]; }
  // Lookups at 100,000 names miss the cache; asking for the slot a few
  // lookups ahead hides most of that wait.
  void Prefetch(uint64_t h) const { __builtin_prefetch(&m_slots[h & (m_slots.size() - 1)]); }

private:
  struct Slot {
    uint32_t tag = 0;  // high half of the key's hash
    uint32_t id = 0;   // key index + 1; 0 for an empty slot
  };
  struct Span {
    size_t offset, size;
  };
  std::string_view Key(uint32_t id) const {
    return std::string_view(m_arena).substr(m_spans[id].offset, m_spans[id].size);
  }
  void Grow() {
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& s : old) {
      if (!s.id) continue;
      size_t i = Hash(Key(s.id - 1)) & mask;
      while (m_slots[i].id) i = (i + 1) & mask;
      m_slots[i] = s;
    }
  }
  std::vector<Slot> m_slots;
  std::vector<Span> m_spans;
  std::vector<int32_t> m_counts;
  std::string m_arena;
};

// Texts packed one after the other (no heap block per name), each with
// the hash of its key.
class TTextList {
public:
  void Reserve(size_t n) {
    m_arena.reserve(n * 20);
    m_ends.reserve(n);
    m_hashes.reserve(n);
  }
  void Add(std::string_view text, uint64_t keyHash) {
    m_arena.append(text);
    m_ends.push_back(m_arena.size());
    m_hashes.push_back(keyHash);
  }
  size_t Size() const { return m_ends.size(); }
  std::string_view Text(size_t i) const {
    const size_t start = i ? m_ends[i - 1] : 0;
    return std::string_view(m_arena).substr(start, m_ends[i] - start);
  }
  uint64_t HashAt(size_t i) const { return m_hashes[i]; }
  // The hash d entries ahead, or the last one's.
  uint64_t HashAhead(size_t i, size_t d) const { return m_hashes[std::min(i + d, m_hashes.size() - 1)]; }

private:
  std::string m_arena;
  std::vector<size_t> m_ends;
  std::vector<uint64_t> m_hashes;
};

constexpr size_t kAhead = 8;

// The file system's key of a cp1252 name, into a reused buffer.
const std::string& KeyOf(std::string_view name, std::string& buffer) {
  static const auto upper = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c) t[c] = AnsiUpperChar(static_cast<char>(c));
    return t;
  }();
  buffer.resize(name.size());
  for (size_t i = 0; i < name.size(); ++i) buffer[i] = upper[static_cast<unsigned char>(name[i])];
  return buffer;
}

const std::string& KeyOf(std::u16string_view name, std::string& buffer) {
  buffer.resize(name.size());
  for (size_t i = 0; i < name.size(); ++i) buffer[i] = base::Utf16UnitToCp1252(name[i]);
  return KeyOf(std::string_view(buffer), buffer);
}

}  // namespace

std::string SimulationSummaryText(const TSimulationSummary& s) {
  return std::to_string(s.Possible) + PluralSuffix(" fichier", s.Possible) + PluralSuffix(" possible", s.Possible) +
         " - " + std::to_string(s.Errors) + PluralSuffix(" erreur", s.Errors) +
         PluralSuffix(" d\xE9tect\xE9" "e", s.Errors);
}

TSimulationSummary RunSimulation(TRunContext& ctx, IRunObserver& d) {
  TSimulationSummary s;
  const TFileListing& l = ctx.Listing;
  const size_t count = l.Count();
  if (count == 0) {
    d.ShowInformation(kNoFileFound);
    return s;
  }
  s.Started = true;
  std::string stopText;
  d.ClearMemo();
  d.SetMemoEnabled(false);
  d.SetProgressPosition(1);
  d.SetMainStatus(kRunning);
  d.SetButton(TRunButton::Arreter, true, true);
  d.SetButton(TRunButton::Fermer, true, false);

  try {
    const std::string folder = StripTrailingBackslashes(l.FolderPath);
    const int digits = Digits(count);
    std::string key;
    TTextList news;  // the new names, as a run would give them
    news.Reserve(count);
    std::vector<uint64_t> oldHashes(count);
    for (size_t i = 0; i < count; ++i) {
      const std::string name = ctx.Names.BuildNewName(l[i].FileName, i);
      news.Add(name, Hash(KeyOf(name, key)));
      oldHashes[i] = Hash(KeyOf(l[i].FileName, key));
    }

    // Who holds each name: every entry of the folder (excluded files and
    // subfolders too), and each listed file under its name as a run would
    // meet it, also when it has left the disk since the scan.
    TTextList onDisk;  // keys
    onDisk.Reserve(count + 16);
    const bool listed = ctx.Files.ListFolder(l.WideFolderPath, [&](const std::u16string& name, bool) {
      const std::string& k = KeyOf(name, key);
      onDisk.Add(k, Hash(k));
    });
    TNameCounts held(std::max(onDisk.Size(), count) + count + 16);
    for (size_t j = 0; j < onDisk.Size(); ++j) {
      held.Prefetch(onDisk.HashAhead(j, kAhead));
      ++held.Count(held.Id(onDisk.Text(j), onDisk.HashAt(j)));
    }
    std::vector<uint32_t> current(count);  // id of each file's current name
    for (size_t i = 0; i < count; ++i) {
      if (i + kAhead < count) held.Prefetch(oldHashes[i + kAhead]);
      current[i] = held.Id(KeyOf(l[i].FileName, key), oldHashes[i]);
      if (!listed || held.Count(current[i]) == 0) ++held.Count(current[i]);
    }

    d.SetLabelStatus(kRunning);
    d.SetProgressRange(1, static_cast<int64_t>(count));
    bool memoEnabled = false;
    auto report = [&](size_t n, const char* what, std::string_view name) {
      if (!memoEnabled) {
        d.SetMemoEnabled(true);
        memoEnabled = true;
      }
      d.AppendMemoLine("Fichier n\xB0" + ZeroPad(static_cast<int64_t>(n), digits) + what + std::string(name));
      ++s.Errors;
    };

    std::string panel;
    long long shownTenths = -1;
    for (size_t i = 0; i < count; ++i) {
      const size_t n = i + 1;
      if (d.StopRequested()) {
        d.ClearStopRequest();
        stopText = " (arr\xEAt utilisateur)";
        s.Stopped = true;
        break;
      }
      // The status line changes a thousand times at most, whatever the count.
      const double percent = static_cast<double>(n) * 100.0 / static_cast<double>(count);
      const long long tenths = std::llround(percent * 10.0);
      if (tenths != shownTenths) {
        shownTenths = tenths;
        d.SetLabelStatus("Simulation en cours (" + FormatPercent(percent, ctx.DecimalSeparator) + ")");
      }
      const std::string_view name = news.Text(i);
      panel.assign(folder).append("\\").append(name);
      d.SetPanelStatus(panel);
      d.SetProgressPosition(static_cast<int64_t>(n));
      d.ProcessMessages();

      held.Prefetch(news.HashAhead(i, kAhead));
      if (l[i].NameIsLossy) {
        report(n, " : nom non repr\xE9sentable : ", l[i].FileName);
      } else if (!IsReachableName(l[i].WideName)) {
        report(n, " : fichier introuvable : ", l[i].FileName);
      } else if (!IsValidFileName(name)) {
        report(n, " : nom invalide : ", name);
      } else {
        const uint32_t id = held.Id(KeyOf(name, key), news.HashAt(i));
        // The file's own name does not count: a change of letter case only
        // is allowed.
        if (held.Count(id) - (id == current[i] ? 1 : 0) > 0) {
          report(n, " : nom existant : ", name);
        } else {
          ++s.Possible;
          if (id != current[i]) {
            --held.Count(current[i]);
            ++held.Count(id);
            current[i] = id;
          }
        }
      }
    }
  } catch (...) {
    s.Aborted = true;
  }

  d.MemoCaretToStart();
  d.SetButton(TRunButton::Arreter, true, false);
  d.SetButton(TRunButton::Fermer, true, true);
  d.SetMainStatus("");
  d.SetLabelStatus("Simulation termin\xE9" "e" + stopText);
  d.SetPanelStatus(SimulationSummaryText(s));
  return s;
}

}  // namespace qv::engine
