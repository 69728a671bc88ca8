// The simulation run; see Simulation.h.
#include "engine/Simulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>
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

// Arena offsets take 32 bits, half the memory a run walks at 100,000
// names; 4 GiB of names is past any folder's, and is refused, not wrapped.
uint32_t Offset(size_t size) {
  if (size > UINT32_MAX) throw std::length_error("simulation names");
  return static_cast<uint32_t>(size);
}

// How many folder entries hold each name, by the file system's key. Open
// addressing over 8-byte slots (a hash fragment and an id) with the keys
// packed in one arena, so a lookup costs about one cache miss for the slot
// and one for the key; each distinct key gets a stable id. The table is
// sized to the keys the run can meet, not to a power of two: at 100,000
// names a table twice as large as needed no longer stays in the cache.
class TNameCounts {
public:
  // Empties the table for about `expected` keys, keeping its memory.
  void Reset(size_t expected) {
    Resize(expected + expected / 2 + 64);
    m_ends.clear();
    m_counts.clear();
    m_arena.clear();
    m_ends.reserve(expected);
    m_counts.reserve(expected);
    m_arena.reserve(expected * 16);
  }
  // The id of key (whose Hash is h), inserted with count 0 when new.
  uint32_t Id(std::string_view key, uint64_t h) {
    const uint32_t tag = static_cast<uint32_t>(h);
    for (size_t i = Home(h);; i = i + 1 == m_slots.size() ? 0 : i + 1) {
      const Slot slot = m_slots[i];
      if (slot.id == 0) {
        m_arena.append(key);
        m_ends.push_back(Offset(m_arena.size()));
        m_counts.push_back(0);
        m_slots[i] = {tag, static_cast<uint32_t>(m_ends.size())};
        const uint32_t id = static_cast<uint32_t>(m_ends.size() - 1);
        // At most two thirds full, so a probe stays short.
        if (m_ends.size() * 3 > m_slots.size() * 2) Grow();
        return id;
      }
      if (slot.tag == tag && Key(slot.id - 1) == key) return slot.id - 1;
    }
  }
  int32_t& Count(uint32_t id) { return m_counts[id]; }
  // Lookups at 100,000 names miss the cache; asking for the slot a few
  // lookups ahead hides most of that wait.
  void Prefetch(uint64_t h) const { __builtin_prefetch(&m_slots[Home(h)]); }

private:
  struct Slot {
    uint32_t tag = 0;  // low half of the key's hash
    uint32_t id = 0;   // key index + 1; 0 for an empty slot
  };
  // The high half of the hash scaled to the table (no power of two needed).
  size_t Home(uint64_t h) const { return static_cast<size_t>(((h >> 32) * m_slots.size()) >> 32); }
  std::string_view Key(uint32_t id) const {
    const size_t start = id ? m_ends[id - 1] : 0;
    return std::string_view(m_arena).substr(start, m_ends[id] - start);
  }
  void Resize(size_t slots) {
    if (slots > UINT32_MAX) throw std::length_error("simulation names");  // Home's product must not wrap
    m_slots.assign(slots, Slot{});
  }
  void Grow() {
    std::vector<Slot> old;
    old.swap(m_slots);
    Resize(old.size() * 2);
    for (const Slot& s : old) {
      if (!s.id) continue;
      size_t i = Home(Hash(Key(s.id - 1)));
      while (m_slots[i].id) i = i + 1 == m_slots.size() ? 0 : i + 1;
      m_slots[i] = s;
    }
  }
  std::vector<Slot> m_slots;
  std::vector<uint32_t> m_ends;  // end of each key in the arena
  std::vector<int32_t> m_counts;
  std::string m_arena;
};

// Texts packed one after the other (no heap block per name).
class TTextList {
public:
  void Reset(size_t n) {
    m_arena.clear();
    m_ends.clear();
    m_arena.reserve(n * 20);
    m_ends.reserve(n);
  }
  void Add(std::string_view text) {
    m_arena.append(text);
    m_ends.push_back(Offset(m_arena.size()));
  }
  size_t Size() const { return m_ends.size(); }
  std::string_view Text(size_t i) const {
    const size_t start = i ? m_ends[i - 1] : 0;
    return std::string_view(m_arena).substr(start, m_ends[i] - start);
  }

private:
  std::string m_arena;
  std::vector<uint32_t> m_ends;
};

constexpr size_t kAhead = 16;

// Table lookups done in arrival order, each kAhead arrivals after its slot
// was asked for, so the wait for memory overlaps the work on the others.
class TLookahead {
public:
  explicit TLookahead(TNameCounts& table) : m_table(table) {}
  // Queues key; when the queue is full, the oldest is looked up: done(id, tag).
  template <typename Done>
  void Push(std::string_view key, size_t tag, Done&& done) {
    if (m_size == kAhead) Pop(done);
    Entry& e = m_ring[(m_first + m_size) % kAhead];
    e.Key.assign(key);
    e.Hash = Hash(key);
    e.Tag = tag;
    m_table.Prefetch(e.Hash);
    ++m_size;
  }
  template <typename Done>
  void Flush(Done&& done) {
    while (m_size) Pop(done);
  }

private:
  struct Entry {
    std::string Key;  // keeps its capacity: no allocation once warm
    uint64_t Hash = 0;
    size_t Tag = 0;
  };
  template <typename Done>
  void Pop(Done& done) {
    Entry& e = m_ring[m_first];
    m_first = (m_first + 1) % kAhead;
    --m_size;
    done(m_table.Id(e.Key, e.Hash), e.Tag);
  }
  TNameCounts& m_table;
  std::array<Entry, kAhead> m_ring;
  size_t m_first = 0, m_size = 0;
};

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

// The run's tables, kept from one simulation to the next: at 100,000 names
// fresh memory costs a run a sixth of its time in page faults. Kept up to
// kKeptNames files (some 25 MB); a larger folder's are given back.
constexpr size_t kKeptNames = size_t{1} << 18;

struct TTables {
  TNameCounts Held;
  TTextList News;
  std::vector<uint32_t> Current;
  std::vector<uint8_t> Source;
};

thread_local TTables t_tables;
thread_local bool t_tablesBusy = false;

// The kept tables, or tables of its own for a simulation started while
// another one pumps messages.
class TTablesLease {
public:
  TTablesLease() : m_nested(t_tablesBusy) {
    if (m_nested) m_own = std::make_unique<TTables>();
    t_tablesBusy = true;
  }
  ~TTablesLease() {
    t_tablesBusy = m_nested;
  }
  TTablesLease(const TTablesLease&) = delete;
  TTablesLease& operator=(const TTablesLease&) = delete;
  TTables& Tables() { return m_own ? *m_own : t_tables; }
  // A large folder's tables are not kept.
  void Release(size_t count) {
    if (!m_own && count > kKeptNames) t_tables = TTables();
  }

private:
  bool m_nested;
  std::unique_ptr<TTables> m_own;
};

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
  TTablesLease lease;
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
    // Who holds each name: every entry of the folder (excluded files and
    // subfolders too), and each listed file under its name as a run would
    // meet it, also when it has left the disk since the scan. Each name
    // goes straight into the table: at 100,000 names every pass over a
    // copy of them costs more than the work it feeds.
    TTables& t = lease.Tables();
    TNameCounts& held = t.Held;
    held.Reset(2 * count + 16);  // the folder's names and the new ones
    TLookahead lookups(held);
    const auto onDisk = [&](uint32_t id, size_t) { ++held.Count(id); };
    const bool listed = ctx.Files.ListFolder(l.WideFolderPath, [&](const std::u16string& name, bool) {
      lookups.Push(KeyOf(name, key), 0, onDisk);
    });
    lookups.Flush(onDisk);

    TTextList& news = t.News;  // the new names, as a run would give them
    news.Reset(count);
    std::vector<uint32_t>& current = t.Current;  // id of each file's current name
    current.assign(count, 0);
    // What the check needs of each file besides its names, so that it walks
    // no file object again (at 100,000 files they no longer stay in the cache).
    enum : uint8_t { kSource, kLossy, kUnreachable };
    std::vector<uint8_t>& source = t.Source;
    source.assign(count, 0);
    const auto listedFile = [&](uint32_t id, size_t i) {
      current[i] = id;
      if (!listed || held.Count(id) == 0) ++held.Count(id);
    };
    for (size_t i = 0; i < count; ++i) {
      const TFileObject& f = l[i];
      source[i] = f.NameIsLossy ? kLossy : !IsReachableName(f.FileName) ? kUnreachable : kSource;
      news.Add(ctx.Names.BuildNewName(f.FileName, i));
      lookups.Push(KeyOf(f.FileName, key), i, listedFile);
    }
    lookups.Flush(listedFile);

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
    // The key hashes of the next new names: each one's slot is asked for
    // kAhead files before it is checked.
    std::array<uint64_t, kAhead> hashes{};
    const auto hashAhead = [&](size_t j) {
      if (j >= count) return;
      hashes[j % kAhead] = Hash(KeyOf(news.Text(j), key));
      held.Prefetch(hashes[j % kAhead]);
    };
    for (size_t j = 0; j < kAhead; ++j) hashAhead(j);
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

      const uint64_t nameHash = hashes[i % kAhead];
      hashAhead(i + kAhead);
      if (source[i] == kLossy) {
        report(n, " : nom non repr\xE9sentable : ", l[i].FileName);
      } else if (source[i] == kUnreachable) {
        report(n, " : fichier introuvable : ", l[i].FileName);
      } else if (!IsValidFileName(name)) {
        report(n, " : nom invalide : ", name);
      } else {
        const uint32_t id = held.Id(KeyOf(name, key), nameHash);
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
  lease.Release(count);

  d.MemoCaretToStart();
  d.SetButton(TRunButton::Arreter, true, false);
  d.SetButton(TRunButton::Fermer, true, true);
  d.SetMainStatus("");
  d.SetLabelStatus("Simulation termin\xE9" "e" + stopText);
  d.SetPanelStatus(SimulationSummaryText(s));
  return s;
}

}  // namespace qv::engine
