// Small services of the GIF data model.
#include "media/GifModel.h"

namespace qv::media {

uint8_t TExtension::Label() const {
  switch (Kind) {
    case TExtensionKind::GraphicControl: return kGifLabelGraphicControl;
    case TExtensionKind::PlainText: return kGifLabelPlainText;
    case TExtensionKind::Application: return kGifLabelApplication;
    case TExtensionKind::Comment: return kGifLabelComment;
  }
  return kGifLabelComment;
}

TExtension TExtension::GraphicControl() {
  TExtension e;
  e.Kind = TExtensionKind::GraphicControl;
  e.Fixed = {4, 0, 0, 0, 0, 0};
  return e;
}

std::vector<std::string>& TGifFrame::Comment() {
  for (TExtension& e : Extensions)
    if (e.Kind == TExtensionKind::Comment) return e.Lines;
  Extensions.push_back(TExtension{});
  return Extensions.back().Lines;
}

}  // namespace qv::media
