// Verified renames; see SafeRename.h.
#include "engine/SafeRename.h"

#include "engine/FileNameRules.h"

namespace qv::engine {

namespace {

// The file is at path under exactly this name.
bool IsThere(IFileOps& fs, const std::u16string& path, const std::u16string& name) {
  const auto onDisk = fs.ExactName(path);
  return onDisk && *onDisk == name;
}

std::u16string Decimal(unsigned n) {
  std::u16string s;
  do {
    s.insert(s.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n);
  return s;
}

}  // namespace

std::u16string UniqueTemporaryName(IFileOps& fs, const std::u16string& folder) {
  std::u16string name;
  for (unsigned n = 0; n < 100000; ++n) {
    name = u"~qv" + Decimal(n) + u".tmp";
    if (!fs.Exists(JoinPath(folder, name))) break;
  }
  return name;
}

TRenameOutcome RenameVerified(IFileOps& fs, const std::u16string& folder, const std::u16string& from,
                              const std::u16string& to, bool targetKnownFree,
                              const std::function<bool(const std::u16string&)>& beforeTemporary) {
  const std::u16string source = JoinPath(folder, from);
  const std::u16string target = JoinPath(folder, to);
  if (from == to) return {fs.Exists(source) ? TFileResult::Ok() : TFileResult::Fail(TFileError::NotFound), {}};

  if (!SameFileName(from, to)) {
    const TFileResult r = fs.Rename(source, target);
    if (!r.ok()) return {r, {}};
    // The new name alone proves nothing when another file may have held
    // it: then the old name must be gone too.
    const bool done = targetKnownFree ? fs.Exists(target) : !fs.Exists(source) && IsThere(fs, target, to);
    return {done ? TFileResult::Ok() : TFileResult::Fail(TFileError::NotVerified), {}};
  }

  // Letter case only: two real renames, each checked on disk.
  const std::u16string temp = UniqueTemporaryName(fs, folder);
  const std::u16string tempPath = JoinPath(folder, temp);
  if (beforeTemporary && !beforeTemporary(temp)) return {TFileResult::Fail(TFileError::Other), {}};
  const TFileResult first = fs.Rename(source, tempPath);
  if (!first.ok()) return {first, {}};
  if (!IsThere(fs, tempPath, temp)) return {TFileResult::Fail(TFileError::NotVerified), {}};

  TFileResult second = fs.Rename(tempPath, target);
  if (second.ok() && IsThere(fs, target, to)) return {TFileResult::Ok(), {}};
  if (second.ok()) second = TFileResult::Fail(TFileError::NotVerified);
  if (!IsThere(fs, tempPath, temp)) return {second, {}};
  const TFileResult back = fs.Rename(tempPath, source);
  if (back.ok() && IsThere(fs, source, from)) return {second, {}};
  return {second, temp};
}

}  // namespace qv::engine
