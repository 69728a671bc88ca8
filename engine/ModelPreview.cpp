// Preview line and script lengths.
#include "engine/ModelPreview.h"

#include <algorithm>
#include <charconv>

#include "engine/ProgramOptions.h"
#include "engine/TextUtils.h"

namespace qv::engine {

std::string PreviewIndexText(const TProgramOptions& o) {
  return PadLeft(std::to_string(o.Start), o.Format, o.Character);
}

TPreviewLine BuildPreviewLine(const TProgramOptions& o) {
  TPreviewLine line;
  if (o.ScriptFile || o.ScriptExtension) {
    line.ScriptMode = true;
    return line;
  }
  const std::string index = PreviewIndexText(o);
  const int position = std::max(0, o.Position);
  // The index lands after min(P, length) characters of its part: the
  // colours follow where it really stands.
  auto insertAt = [position](const std::string& part) {
    return static_cast<size_t>(std::min<int64_t>(position, static_cast<int64_t>(part.size())));
  };
  if (!o.ExtensionIndice) {
    std::string name = o.NameFile;
    const size_t at = insertAt(name);
    if (!o.NoneIndice) name.insert(at, index);
    line.Text = o.NameExtension.empty() ? name : name + "." + o.NameExtension;
    line.IndexOffset = static_cast<int>(at);
  } else {
    std::string ext = o.NameExtension;
    const size_t at = insertAt(ext);
    if (!o.NoneIndice) ext.insert(at, index);
    line.Text = o.NameFile + "." + ext;
    line.IndexOffset = static_cast<int>(o.NameFile.size() + 1 + at);
  }
  if (!o.NoneIndice) {
    line.HasIndex = true;
    const int digits = static_cast<int>(std::to_string(o.Start).size());
    const int format = std::clamp(o.Format, 0, kMaxPadWidth);  // as PadLeft has it
    if (format < digits) {
      line.ExtraDigits = digits - format;
      line.FormatDigits = format;
    } else {
      line.FormatDigits = format;
    }
  }
  return line;
}

int ScriptVisibleLength(std::string_view script) {
  int64_t count = 0;
  std::string_view rest = script;
  for (;;) {
    const size_t open = rest.find('<');
    if (open == std::string_view::npos) break;
    count += static_cast<int64_t>(open);
    rest.remove_prefix(open);
    const size_t close = rest.find('>');
    if (close == std::string_view::npos) return static_cast<int>(std::min<int64_t>(count, INT32_MAX));
    const std::string_view tag = rest.substr(1, close - 1);
    if (!tag.empty()) {
      const char kind = (tag[0] >= 'a' && tag[0] <= 'z') ? static_cast<char>(tag[0] - 'a' + 'A') : tag[0];
      if (kind == 'A' || kind == 'G' || kind == 'L' || kind == 'U') {
        std::string_view digits = tag.substr(1);
        const size_t eq = digits.find('=');
        if (eq != std::string_view::npos) digits = digits.substr(0, eq);
        int n = 0;
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (r.ec == std::errc() && r.ptr == digits.data() + digits.size() && n > 0) count += n;
      }
    }
    rest.remove_prefix(close + 1);
  }
  count += static_cast<int64_t>(rest.size());
  return static_cast<int>(std::min<int64_t>(count, INT32_MAX));
}

}  // namespace qv::engine
