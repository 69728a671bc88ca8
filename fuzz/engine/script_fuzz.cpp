// Fuzz target of the script interpreter and the name builder: any model
// text on any file name must give a result, without a crash, a sanitizer
// report or a hang. Input: one byte of option bits, the model, a NUL, the
// old full name. Replayed from fuzz/corpus/script by replay_script.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/FileObject.h"
#include "engine/FolderReader.h"
#include "engine/NameBuilder.h"
#include "engine/ScriptInterpreter.h"

using namespace qv::engine;

namespace {

// Values that hold forbidden characters, and a stand-in for the
// expression engine that fails on some expressions and rewrites on others.
class FuzzValues : public TScriptValues {
public:
  bool FileExists(const TScriptFile& f) override { return f.Path.size() % 2 == 0; }
  std::string ExifValue(const TScriptFile&, std::string_view name) override {
    return name.empty() ? std::string() : "2006:12:25 14:30:00/" + std::string(name);
  }
  std::string Mp3Value(const TScriptFile&, std::string_view key) override { return "A<b>|" + std::string(key); }
  std::optional<std::string> RegexCase(std::string_view expr, std::string_view text, bool) override {
    if (expr.size() % 3 == 1) return std::nullopt;
    return std::string(text.substr(0, 255));
  }
  std::optional<std::string> RegexReplace(std::string_view expr, std::string_view tmpl,
                                          std::string_view text) override {
    if (expr.size() % 3 == 1) return std::nullopt;
    return std::string(tmpl) + std::string(text.substr(0, 255));
  }
};

class OneFile : public IFolderReader {
public:
  bool ReadFolder(const std::u16string&, const std::function<void(const TFolderEntry&)>& onEntry) override {
    TFolderEntry e;
    e.Name = u"Holiday 2006.jpg";
    e.Created = 132000000000000000;
    e.Modified = 128120000000000000;
    e.Accessed = 0;
    onEntry(e);
    return true;
  }
  std::string TypeName(const std::u16string&) override { return {}; }
};

struct World {
  World() {
    listing.SetFolderReader(&reader);
    listing.ScanFolder("D:\\Photos\\Paris", "", kScanAttributes);
    interpreter.SetFolderName("Paris");
  }
  TProgramOptions options;
  OneFile reader;
  TFileListing listing;
  FuzzValues values;
  TScriptInterpreter interpreter{options, listing, &values};
  TNameBuilder builder{options, interpreter};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World w;
  if (size == 0) return 0;
  const uint8_t bits = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t nul = rest.find('\0');
  const std::string_view model = rest.substr(0, nul);
  const std::string_view oldName = nul == std::string_view::npos ? std::string_view("Holiday 2006.jpg") : rest.substr(nul + 1);

  TProgramOptions& o = w.options;
  o.CasseFile = bits % 5;
  o.CasseExtension = (bits >> 3) % 4;
  o.MajAscii = bits & 0x20;
  o.ReplaceChar = (bits & 0x40) ? "" : (bits & 0x80) ? "<?>" : "-";
  o.Position = static_cast<int8_t>(bits);

  // Straight on the old name part, for every file index kind.
  const size_t index = bits & 1 ? 0 : 7;
  w.interpreter.ExpandScript(index, model, oldName, OldNamePart(oldName));

  // Through the name builder, as name and as extension script.
  o.ScriptFile = true;
  o.NoExtension = false;
  o.ScriptExtension = true;
  o.ExtensionIndice = bits & 0x10;
  o.NameFile.assign(model);
  o.NameExtension.assign(model.substr(model.size() / 2));
  w.builder.BuildNewName(oldName, index);
  return 0;
}
