// Model validation before a run.
#include "engine/RunRequest.h"

#include "engine/ProgramOptions.h"
#include "engine/TextUtils.h"

namespace qv::engine {

std::string StripScriptTags(std::string_view model) {
  std::string out;
  std::string rest(model);
  for (;;) {
    const size_t open = rest.find('<');
    if (open == std::string::npos) break;
    out.append(rest, 0, open);
    const size_t close = rest.find('>', open);
    if (close == std::string::npos) {
      // An unterminated tag stays in the checked text and fails it.
      out += '<';
      rest.erase(0, open + 1);
      continue;
    }
    const std::string tag = rest.substr(open, close - open + 1);
    const size_t eq = tag.find('=');
    if (eq != std::string::npos) {
      // The separator is the interpreter's: the first "??", else the first "?".
      const size_t dbl = tag.find("??", eq + 1);
      const size_t sep = dbl != std::string::npos ? dbl : tag.find('?', eq + 1);
      if (sep != std::string::npos) {
        const size_t from = sep + (dbl != std::string::npos ? 2 : 1);
        const size_t end = tag.size() - 1;  // the closing ">"
        if (from < end) out.append(tag, from, end - from);
      }
    }
    rest.erase(0, close + 1);
  }
  return out + rest;
}

TModelField ValidateModels(const TProgramOptions& options, const TModelTexts& texts) {
  if (!options.NoFile) {
    const std::string checked = options.ScriptFile ? StripScriptTags(texts.Name) : texts.Name;
    if (HasForbiddenChar(checked)) return TModelField::Name;
  }
  if (!options.NoExtension) {
    const std::string checked = options.ScriptExtension ? StripScriptTags(texts.Extension) : texts.Extension;
    if (HasForbiddenChar(checked)) return TModelField::Extension;
  }
  if (!texts.PadCharacter.empty() && IsForbiddenChar(texts.PadCharacter[0])) return TModelField::Format;
  return TModelField::None;
}

}  // namespace qv::engine
