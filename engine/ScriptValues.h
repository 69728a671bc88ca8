// Where the script interpreter gets what a file name alone cannot tell: is
// the file still there, its photo metadata and audio tag values, and the
// regular-expression tags. TScriptValues is the default: it answers as if
// no reader and no expression engine were available (no value, and an
// expression that cannot be used). The real readers derive from it.
// Used by engine/ScriptInterpreter.h; tested through its tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::engine {

// The file a script is expanded for.
struct TScriptFile {
  size_t Index = 0;              // position in the listing
  std::string_view OldFullName;  // name and extension
  std::string_view Path;         // "Directory" + "\" + OldFullName
  // The interpreter's serial number of this expansion, 0 outside one: the
  // tags of one expansion may take the file as unchanged between them.
  uint64_t Expansion = 0;
};

class TScriptValues {
public:
  virtual ~TScriptValues() = default;

  // Whether the file is still at its path; "<$D_...>" yields nothing when
  // it is not. Default: the listing's entry stands for the file.
  virtual bool FileExists(const TScriptFile& file);
  // "<$E_name>": the named metadata value, empty when the file holds no
  // EXIF block or no such entry.
  virtual std::string ExifValue(const TScriptFile& file, std::string_view name);
  // "<$M_key>": the named audio tag field, empty when the file is not an
  // audio file or holds no readable tag.
  virtual std::string Mp3Value(const TScriptFile& file, std::string_view key);
  // "<$L=expression>" / "<$U=expression>": text with every match lower- or
  // upper-cased. "<$X=expression?template>": text with every match replaced
  // by the template. nullopt when the expression cannot be used, which ends
  // the whole expansion with its source text.
  virtual std::optional<std::string> RegexCase(std::string_view expression, std::string_view text, bool toUpper);
  virtual std::optional<std::string> RegexReplace(std::string_view expression, std::string_view tmpl,
                                                  std::string_view text);
};

}  // namespace qv::engine
