// The file listing: scan through an IFolderReader, sort on keys computed
// once per scan; see FileObject.h.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "base/CodePage.h"
#include "engine/Collation.h"
#include "engine/FileObject.h"
#include "engine/Masks.h"

namespace qv::engine {

namespace {

// cp1252 form of a UTF-16 name; lossy when a character has no cp1252 form
// (it becomes "?", which no real name holds).
std::string ToAnsiName(const std::u16string& wide, bool& lossy) {
  std::string out;
  out.reserve(wide.size());
  for (char16_t u : wide) {
    const char c = base::Utf16UnitToCp1252(u);
    if (c == '?' && u != u'?') lossy = true;
    out += c;
  }
  return out;
}

// Collation keys of one text column, packed: the first 8 bytes of each key
// as a big-endian number decide most comparisons without touching memory.
struct TextKeys {
  std::string arena;
  std::vector<uint64_t> prefix;
  std::vector<uint32_t> offset, length;

  template <typename Get>
  void Build(const TFileStore& files, Get get) {
    arena.clear();
    size_t total = 0;
    for (size_t i = 0; i < files.size(); ++i) total += get(files[i]).size();
    arena.reserve(2 * total + 2 * files.size());
    prefix.resize(files.size());
    offset.resize(files.size());
    length.resize(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
      const size_t start = arena.size();
      AppendCollationKey(get(files[i]), arena);
      offset[i] = static_cast<uint32_t>(start);
      length[i] = static_cast<uint32_t>(arena.size() - start);
    }
    for (size_t i = 0; i < files.size(); ++i) {
      uint64_t p = 0;
      for (uint32_t k = 0; k < 8; ++k)
        p = (p << 8) | (k < length[i] ? static_cast<unsigned char>(arena[offset[i] + k]) : 0u);
      prefix[i] = p;
    }
  }

  // Key bytes 8..15 as a big-endian number.
  uint64_t Prefix2(uint32_t i) const {
    uint64_t p = 0;
    for (uint32_t k = 8; k < 16; ++k)
      p = (p << 8) | (k < length[i] ? static_cast<unsigned char>(arena[offset[i] + k]) : 0u);
    return p;
  }

  int Compare(uint32_t a, uint32_t b) const {
    if (prefix[a] != prefix[b]) return prefix[a] < prefix[b] ? -1 : 1;
    const uint32_t la = length[a], lb = length[b];
    const int c = std::memcmp(arena.data() + offset[a], arena.data() + offset[b], std::min(la, lb));
    if (c != 0) return c;
    return la < lb ? -1 : (la > lb ? 1 : 0);
  }
};

}  // namespace

std::u16string ExtensionKey(const std::u16string& name) {
  const size_t dot = name.rfind(u'.');
  std::u16string ext = dot == std::u16string::npos ? std::u16string() : name.substr(dot);
  for (char16_t& c : ext)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  return ext;
}

struct TFileListing::Keys {
  bool built[10] = {};
  TextKeys text[10];  // by sort key: 1 name, 7 short name, 9 type (2 rebuilt each time)
  std::unordered_map<std::u16string, std::string> typeNames;  // per extension, across scans
};

TFileListing::TFileListing() : m_keys(std::make_unique<Keys>()) {}
TFileListing::~TFileListing() { Reset(); }

void TFileListing::SetTimeZone(TTimeZone zone) { m_zone = std::move(zone); }

void TFileListing::Reset() {
  m_files.clear();
  m_order.clear();
  for (bool& b : m_keys->built) b = false;
  for (TextKeys& k : m_keys->text) k = TextKeys();
}

void TFileListing::ClearFiles() { Reset(); }

size_t TFileListing::ScanFolder(const std::string& folder, const std::string& maskText, uint32_t attributes) {
  return ScanFolderWide(base::Cp1252ToUtf16(folder), maskText, attributes);
}

size_t TFileListing::ScanFolderWide(const std::u16string& folder, const std::string& maskText, uint32_t attributes) {
  Reset();
  bool lossy = false;
  FolderPath = ToAnsiName(folder, lossy);
  WideFolderPath = folder;
  TotalSize = 0;
  if (!m_reader) return 0;

  TMaskList masks;
  LoadMaskList(maskText, masks);
  // Hidden, system and directory entries only when the mask holds the bit;
  // directories never.
  const uint32_t refused = (kAttrHidden | kAttrSystem | kAttrDirectory) & ~attributes;

  auto& typeNames = m_keys->typeNames;
  const bool ok = m_reader->ReadFolder(folder, [&](const TFolderEntry& e) {
    if (e.Attributes & (refused | kAttrDirectory)) return;
    TFileObject f;
    f.FileName = ToAnsiName(e.Name, f.NameIsLossy);
    if (!NameMatchesMaskList(f.FileName, masks)) return;
    f.WideName = e.Name;
    bool shortLossy = false;
    f.ShortName = e.ShortName.empty() ? f.FileName : ToAnsiName(e.ShortName, shortLossy);
    f.NewName = f.FileName;
    f.CreatedRaw = e.Created;
    f.ModifiedRaw = e.Modified;
    f.AccessedRaw = e.Accessed;
    f.Created = FileTimeToDateTime(e.Created, m_zone);
    f.Modified = FileTimeToDateTime(e.Modified, m_zone);
    f.Accessed = FileTimeToDateTime(e.Accessed, m_zone);
    f.Size = e.Size > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<int64_t>(e.Size);
    f.Attributes = e.Attributes;
    f.ImageIndex = -1;
    f.Status = 0;
    std::u16string ext = ExtensionKey(e.Name);
    auto it = typeNames.find(ext);
    if (it == typeNames.end()) {
      std::string type = m_reader->TypeName(e.Name);
      if (type.size() > 80) type.resize(80);
      it = typeNames.emplace(std::move(ext), std::move(type)).first;
    }
    f.TypeName = it->second;
    TotalSize += f.Size;
    m_files.push_back(std::move(f));
  });
  if (!ok) {
    Reset();
    TotalSize = 0;
    return 0;
  }
  m_order.resize(m_files.size());
  for (uint32_t i = 0; i < m_order.size(); ++i) m_order[i] = i;
  return m_files.size();
}

void TFileListing::SortFiles(uint8_t key, bool ascending) {
  const uint8_t k = key & 0x7F;
  if (k < 1 || k > 9) return;
  SortKey = key;

  auto run = [&](auto cmp) {
    if (ascending)
      std::sort(m_order.begin(), m_order.end(), [&](uint32_t a, uint32_t b) {
        const int c = cmp(a, b);
        return c != 0 ? c < 0 : a < b;
      });
    else
      std::sort(m_order.begin(), m_order.end(), [&](uint32_t a, uint32_t b) {
        const int c = cmp(a, b);
        return c != 0 ? c > 0 : a < b;
      });
  };
  auto three = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };

  if (k == 1 || k == 2 || k == 7 || k == 9) {
    TextKeys& tk = m_keys->text[k];
    // New names change between sorts; the others only with a scan.
    if (!m_keys->built[k] || k == 2) {
      switch (k) {
        case 1: tk.Build(m_files, [](const TFileObject& f) -> const std::string& { return f.FileName; }); break;
        case 2: tk.Build(m_files, [](const TFileObject& f) -> const std::string& { return f.NewName; }); break;
        case 7: tk.Build(m_files, [](const TFileObject& f) -> const std::string& { return f.ShortName; }); break;
        default: tk.Build(m_files, [](const TFileObject& f) -> const std::string& { return f.TypeName; }); break;
      }
      m_keys->built[k] = k != 2;
    }
    // Sort small records that carry the first 16 key bytes, so most
    // comparisons stay in cache; only ties there look at the whole keys.
    struct Rec {
      uint64_t p0, p1;
      uint32_t index;
    };
    std::vector<Rec> recs(m_order.size());
    for (size_t i = 0; i < recs.size(); ++i) {
      const uint32_t x = m_order[i];
      recs[i] = Rec{tk.prefix[x], tk.Prefix2(x), x};
    }
    auto cmp = [&](const Rec& a, const Rec& b) {
      if (a.p0 != b.p0) return a.p0 < b.p0 ? -1 : 1;
      if (a.p1 != b.p1) return a.p1 < b.p1 ? -1 : 1;
      return tk.Compare(a.index, b.index);
    };
    if (ascending)
      std::sort(recs.begin(), recs.end(), [&](const Rec& a, const Rec& b) {
        const int c = cmp(a, b);
        return c != 0 ? c < 0 : a.index < b.index;
      });
    else
      std::sort(recs.begin(), recs.end(), [&](const Rec& a, const Rec& b) {
        const int c = cmp(a, b);
        return c != 0 ? c > 0 : a.index < b.index;
      });
    for (size_t i = 0; i < recs.size(); ++i) m_order[i] = recs[i].index;
    return;
  }
  const auto& f = m_files;
  switch (k) {
    case 3: run([&](uint32_t a, uint32_t b) { return three(f[a].Size, f[b].Size); }); break;
    case 4:
      run([&](uint32_t a, uint32_t b) {
        const int c = three(f[a].Created, f[b].Created);
        return c ? c : three(f[a].CreatedRaw, f[b].CreatedRaw);
      });
      break;
    case 5:
      run([&](uint32_t a, uint32_t b) {
        const int c = three(f[a].Modified, f[b].Modified);
        return c ? c : three(f[a].ModifiedRaw, f[b].ModifiedRaw);
      });
      break;
    case 6:
      run([&](uint32_t a, uint32_t b) {
        const int c = three(f[a].Accessed, f[b].Accessed);
        return c ? c : three(f[a].AccessedRaw, f[b].AccessedRaw);
      });
      break;
    default: run([&](uint32_t a, uint32_t b) { return three(f[a].Attributes, f[b].Attributes); }); break;
  }
}

uint8_t TFileListing::GetStatus(size_t i) const { return i < Count() ? Item(i).Status : 0; }

void TFileListing::SetStatus(size_t i, uint8_t value) {
  if (i < Count()) Item(i).Status = value;
}

std::string TFileListing::GetFileName(size_t i) const { return i < Count() ? Item(i).FileName : std::string(); }

std::string TFileListing::GetNewName(size_t i) const { return i < Count() ? Item(i).NewName : std::string(); }

bool TFileListing::SetNewName(size_t i, const std::string& text) {
  if (i < Count()) Item(i).NewName = text;
  return true;
}

}  // namespace qv::engine
