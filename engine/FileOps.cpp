// Helpers around IFileOps; see FileOps.h.
#include "engine/FileOps.h"

#include <vector>

namespace qv::engine {

std::string FileErrorText(const TFileResult& r) {
  switch (r.Error) {
    case TFileError::None: return {};
    case TFileError::NotFound: return "fichier introuvable";
    case TFileError::PathNotFound: return "dossier introuvable";
    case TFileError::Exists: return "nom d\xE9j\xE0 utilis\xE9";
    case TFileError::AccessDenied: return "acc\xE8s refus\xE9";
    case TFileError::InUse: return "fichier en cours d'utilisation";
    case TFileError::InvalidName: return "nom invalide";
    case TFileError::DiskFull: return "disque plein";
    case TFileError::NotVerified: return "renommage non constat\xE9 sur le disque";
    case TFileError::Unrepresentable: return "nom non repr\xE9sentable";
    case TFileError::Other: break;
  }
  return "erreur syst\xE8me " + std::to_string(r.SystemCode);
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
  while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  std::u16string p;
  p.reserve(folder.size() + 1 + name.size());
  p.append(folder);
  p += u'\\';
  p.append(name);
  return p;
}

bool CreateFolderPath(IFileOps& fs, const std::u16string& path) {
  std::u16string p = path;
  while (!p.empty() && p.back() == u'\\') p.pop_back();
  if (p.empty()) return false;
  if (fs.FolderExists(p)) return true;
  // Walk up to the first folder that exists, then create downwards; no
  // recursion, so a hostile path depth cannot overflow the stack.
  std::vector<std::u16string> missing;
  while (!p.empty() && !fs.FolderExists(p)) {
    missing.push_back(p);
    const size_t cut = p.rfind(u'\\');
    if (cut == std::u16string::npos || cut == 0) break;
    p.resize(cut);
    if (p.size() == 2 && p[1] == u':') break;  // a drive: nothing to create
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) fs.CreateFolder(*it);
  return fs.FolderExists(missing.front());
}

}  // namespace qv::engine
