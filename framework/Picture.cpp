// The picture-format registry and TPicture.
#include "framework/Picture.h"

#include <algorithm>
#include <cctype>

#include "framework/Exception.h"

namespace qv::fw {

namespace {

std::vector<std::shared_ptr<const TPictureFormat>>& Registry() {
  static std::vector<std::shared_ptr<const TPictureFormat>> formats;
  return formats;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

template <typename Pred>
std::shared_ptr<const TPictureFormat> Find(Pred pred) {
  for (const auto& f : Registry())
    if (pred(*f)) return f;
  return nullptr;
}

// The extension of a path, without the dot, as 8-bit text; a character
// outside ASCII cannot match a registered extension anyway.
std::string ExtensionOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  const size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return std::string();
  std::string ext;
  for (wchar_t c : path.substr(dot + 1)) ext += c < 0x80 ? static_cast<char>(c) : '?';
  return ext;
}

}  // namespace

void RegisterPictureFormat(const TPictureFormat& format) {
  UnregisterPictureFormat(format.ClassName);
  Registry().push_back(std::make_shared<const TPictureFormat>(format));
}

void UnregisterPictureFormat(std::string_view className) {
  std::erase_if(Registry(), [&](const auto& f) { return SameText(f->ClassName, className); });
}

const TPictureFormat* PictureFormatByExtension(std::string_view extension) {
  if (extension.empty()) return nullptr;
  return Find([&](const TPictureFormat& f) { return SameText(f.Extension, extension); }).get();
}

const TPictureFormat* PictureFormatByResourceType(std::string_view type) {
  if (type.empty()) return nullptr;
  return Find([&](const TPictureFormat& f) { return SameText(f.ResourceType, type); }).get();
}

const TPictureFormat* PictureFormatByClassName(std::string_view className) {
  if (className.empty()) return nullptr;
  return Find([&](const TPictureFormat& f) { return SameText(f.ClassName, className); }).get();
}

const TPictureFormat* PictureFormatByClipboardFormat(UINT format) {
  if (format == 0) return nullptr;
  return Find([&](const TPictureFormat& f) { return f.ClipboardFormat == format; }).get();
}

std::vector<TPictureFormat> PictureFormats() {
  std::vector<TPictureFormat> out;
  for (const auto& f : Registry()) out.push_back(*f);
  return out;
}

// --- TPicture

void TPicture::Clear() {
  m_graphic.reset();
  m_format.reset();
}

void TPicture::Take(std::shared_ptr<const TPictureFormat> format, const std::function<void(TGraphic&)>& load) {
  Clear();
  std::unique_ptr<TGraphic> graphic = format->Create ? format->Create() : nullptr;
  if (!graphic) throw EQvError("Format d'image " + format->ClassName + " sans classe");
  load(*graphic);
  m_graphic = std::move(graphic);
  m_format = std::move(format);
}

void TPicture::LoadFromFile(const std::wstring& path) {
  const std::string ext = ExtensionOf(path);
  auto format = Find([&](const TPictureFormat& f) { return !ext.empty() && SameText(f.Extension, ext); });
  if (!format) {
    Clear();
    throw EQvError("Extension de fichier image (." + ext + ") inconnue");
  }
  Take(format, [&](TGraphic& g) {
    TMemoryStream s;
    if (!s.LoadFromFile(path)) throw EQvError("Impossible d'ouvrir le fichier image");
    g.LoadFromStream(s);
  });
}

void TPicture::LoadFromResource(HMODULE module, const char* name, const char* type) {
  const std::string typeName = IS_INTRESOURCE(type) ? std::string() : std::string(type);
  auto format = Find([&](const TPictureFormat& f) { return !typeName.empty() && SameText(f.ResourceType, typeName); });
  if (!format) {
    Clear();
    throw EQvError("Type de ressource image " + (typeName.empty() ? std::string("?") : typeName) + " inconnu");
  }
  HRSRC found = FindResourceA(module, name, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) {
    Clear();
    throw EQvError("Ressource image introuvable");
  }
  Take(format, [&](TGraphic& g) {
    TMemoryStream s(std::string(static_cast<const char*>(bytes), SizeofResource(module, found)));
    g.LoadFromStream(s);
  });
}

void TPicture::ReadData(TStream& stream) {
  uint8_t length = 0;
  std::string className;
  if (stream.ReadBuffer(&length, 1)) {
    className.resize(length);
    if (length && !stream.ReadBuffer(className.data(), length)) className.clear();
  }
  auto format = Find([&](const TPictureFormat& f) { return !className.empty() && SameText(f.ClassName, className); });
  if (!format) {
    Clear();
    throw EQvError("Classe d'image " + (className.empty() ? std::string("?") : className) + " inconnue");
  }
  Take(format, [&](TGraphic& g) { g.ReadData(stream); });
}

}  // namespace qv::fw
