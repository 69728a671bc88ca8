// The model line the main window previews: the name model and extension
// model with the index text in place, and where the index digits stand so
// they can be coloured; and the visible length of a script model, which is
// the range of the index position in script mode.
// Tested by tests/engine/ModelPreview_test.cpp.
#pragma once

#include <string>
#include <string_view>

namespace qv::engine {

struct TProgramOptions;

struct TPreviewLine {
  bool ScriptMode = false;  // "Modèle non disponible": nothing to show
  std::string Text;
  bool HasIndex = false;
  int IndexOffset = 0;   // first character of the index text in Text
  int ExtraDigits = 0;   // leading digits beyond the minimum width
  int FormatDigits = 0;  // the minimum-width digits that follow them
};

// The index text: "Start" padded on the left with the pad character to
// "Format" characters (a longer number is not cut).
std::string PreviewIndexText(const TProgramOptions& o);

TPreviewLine BuildPreviewLine(const TProgramOptions& o);

// The number of characters a script yields at most before the index:
// plain text counts as it stands, a tag A, G, L or U counts its number,
// other tags count nothing; an unclosed tag ends the count.
int ScriptVisibleLength(std::string_view script);

}  // namespace qv::engine
