// The checks a rename or simulation request makes before its dialog opens:
// the name model, the extension model and the pad character must hold no
// character a file name may not hold. Script tags are stripped first, keeping
// only the text they insert themselves (the replacement texts of R and X
// tags); values read from files are replaced at expansion time instead.
// Tested by tests/engine/RunRequest_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace qv::engine {

struct TProgramOptions;

// Which model failed: none, the name, the extension, the pad character.
enum class TModelField { None = 0, Name = 1, Extension = 2, Format = 3 };

// The plain text a script model contributes to names.
std::string StripScriptTags(std::string_view model);

// The texts as the edits hold them (the edits may not have stored them yet).
struct TModelTexts {
  std::string Name;
  std::string Extension;
  std::string PadCharacter;
};

// The first model that holds a forbidden character, or None.
TModelField ValidateModels(const TProgramOptions& options, const TModelTexts& texts);

}  // namespace qv::engine
