// What the options dialog and the about box need from the main window: the
// options, where to stand, the texture picture, and for the options dialog
// the display routines its previews and its end re-apply. The main window
// implements both; tests use fakes that record the calls.
#pragma once

#include <windows.h>

#include "app/DialogSupport.h"
#include "engine/ProgramOptions.h"

namespace qv::app {

class IDialogHost {
public:
  virtual ~IDialogHost() = default;
  virtual engine::TProgramOptions& Options() = 0;
  virtual TDialogPlacement DialogPlacement() = 0;
  // The texture picture (not handed over).
  virtual HBITMAP TextureSource() = 0;
};

class IOptionsHost : public IDialogHost {
public:
  // The edit that has the focus stores its text in the options.
  virtual void CommitFocusedEdit() = 0;
  // The main window's texture from "Texture" (no colour change sent on).
  virtual void ApplyMainTexture() = 0;
  virtual void ApplyHintOption() = 0;
  virtual void ApplyGridOption() = 0;
  virtual void UpdateScanAttributes() = 0;
  virtual void UpdateSliderRange() = 0;
  virtual void UpdateModelPreview(bool rescan) = 0;
  // The list's date columns follow "Model Date".
  virtual void ReloadListForDateFormat() = 0;
  // Visible rows of both model combos' drop-down lists.
  virtual void SetModelDropDownCount(int rows) = 0;
};

}  // namespace qv::app
