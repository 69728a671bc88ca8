// Name builder; see NameBuilder.h.
#include "engine/NameBuilder.h"

#include <algorithm>
#include <cstdint>

#include "engine/TextUtils.h"

namespace qv::engine {

std::string_view OldNamePart(std::string_view fullName) {
  const size_t dot = fullName.rfind('.');
  return dot == std::string_view::npos ? fullName : fullName.substr(0, dot);
}

std::string_view OldExtension(std::string_view fullName) {
  const size_t dot = fullName.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : fullName.substr(dot + 1);
}

std::string ConvertCase(std::string_view text, int mode, bool folded, TCasePart part) {
  if (text.empty()) return {};
  auto up = [folded](std::string_view s) { return folded ? UpperCaseFolded(s) : AnsiUpperCase(s); };
  auto low = [folded](std::string_view s) { return folded ? LowerCaseFolded(s) : AnsiLowerCase(s); };
  if (part == TCasePart::Extension && mode == 4) return std::string(text);
  switch (mode) {
    case 1:
      return up(text);
    case 3:
      return low(text);
    case 2:
    case 4: {
      std::string out = up(text.substr(0, 1));
      out += low(text.substr(1));
      if (mode == 4) {
        // Only the blank separates words: "jean-paul dupont" gives
        // "Jean-paul Dupont".
        for (size_t i = 1; i < out.size(); ++i)
          if (out[i - 1] == ' ') out[i] = up(std::string_view(&out[i], 1))[0];
      }
      return out;
    }
    default:
      return std::string(text);
  }
}

void InsertIndex(std::string& part, std::string_view index, int64_t position) {
  const size_t at = position <= 0 ? 0 : std::min(static_cast<uint64_t>(position), uint64_t{part.size()});
  part.insert(at, index);
}

std::string TNameBuilder::ApplyNameCase(std::string_view oldFullName) const {
  const std::string_view name = OldNamePart(oldFullName);
  if (!m_options.NoFile && !m_options.ScriptFile) return std::string(name);
  return ConvertCase(name, m_options.CasseFile, m_options.MajAscii, TCasePart::Name);
}

std::string TNameBuilder::ApplyExtensionCase(std::string_view oldFullName) const {
  const std::string_view ext = OldExtension(oldFullName);
  if (!m_options.NoExtension && !m_options.ScriptExtension) return std::string(ext);
  return ConvertCase(ext, m_options.CasseExtension, m_options.MajAscii, TCasePart::Extension);
}

std::string TNameBuilder::IndexText(size_t fileIndex) const {
  const int64_t number = static_cast<int64_t>(fileIndex) + m_options.Start;
  const int width = static_cast<uint8_t>(m_options.Format);
  const char pad = m_options.Character == '\0' ? ' ' : m_options.Character;
  return PadLeft(std::to_string(number), width, pad);
}

std::string TNameBuilder::NameScript(std::string_view oldFullName, size_t fileIndex) {
  return m_interpreter.ExpandScript(fileIndex, m_options.NameFile, oldFullName, ApplyNameCase(oldFullName));
}

std::string TNameBuilder::ExtensionScript(std::string_view oldFullName, size_t fileIndex) {
  return m_interpreter.ExpandScript(fileIndex, m_options.NameExtension, oldFullName,
                                    ApplyExtensionCase(oldFullName));
}

std::string TNameBuilder::BuildNewName(std::string_view oldFullName, size_t fileIndex) {
  const TProgramOptions& o = m_options;
  std::string name;
  std::string ext;
  if (!o.ExtensionIndice) {
    if (o.ScriptFile)
      name = NameScript(oldFullName, fileIndex);
    else if (o.NoFile)
      name = ApplyNameCase(oldFullName);
    else
      name = o.NameFile;
    if (!o.NoneIndice) InsertIndex(name, IndexText(fileIndex), o.Position);
    if (o.NoExtension)
      ext = ApplyExtensionCase(oldFullName);
    else if (o.ScriptExtension)
      ext = ExtensionScript(oldFullName, fileIndex);
    else
      ext = o.NameExtension;
    if (ext.empty()) return name;
  } else {
    // With "No File" on, "No Extension" decides between the old extension
    // and the extension model, as in the other mode and as the model
    // preview line shows it.
    if (o.ScriptExtension)
      ext = ExtensionScript(oldFullName, fileIndex);
    else if (o.NoFile && o.NoExtension)
      ext = ApplyExtensionCase(oldFullName);
    else
      ext = o.NameExtension;
    if (!o.NoneIndice) InsertIndex(ext, IndexText(fileIndex), o.Position);
    if (o.NoFile)
      name = ApplyNameCase(oldFullName);
    else if (o.ScriptFile)
      name = NameScript(oldFullName, fileIndex);
    else
      name = o.NameFile;
  }
  name.reserve(name.size() + 1 + ext.size());
  name += '.';
  name += ext;
  return name;
}

}  // namespace qv::engine
