// Defaults of the value seam: no reader, no expression engine.
#include "engine/ScriptValues.h"

namespace qv::engine {

bool TScriptValues::FileExists(const TScriptFile&) { return true; }

std::string TScriptValues::ExifValue(const TScriptFile&, std::string_view) { return {}; }

std::string TScriptValues::Mp3Value(const TScriptFile&, std::string_view) { return {}; }

std::optional<std::string> TScriptValues::RegexCase(std::string_view, std::string_view, bool) {
  return std::nullopt;
}

std::optional<std::string> TScriptValues::RegexReplace(std::string_view, std::string_view, std::string_view) {
  return std::nullopt;
}

}  // namespace qv::engine
