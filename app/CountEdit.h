// TCountEdit: the options dialog's edit of a count from 1 to 99 (two
// digits). It stands where the validating integer edit goes and keeps its
// contract: digits only, right-aligned, and a value brought back into the
// range when the edit is left, so what is read back is always 1..99.
// Tested through tests/app/dialogs/Options_test.cpp.
#pragma once

#include "framework/StdCtrls.h"

namespace qv::app {

class TCountEdit : public fw::TEdit {
public:
  static constexpr int kMin = 1, kMax = 99;

  explicit TCountEdit(fw::TComponent* owner);

  // The value in range; a text without a number reads as 0, so as 1.
  int Value() const;
  // Shows v brought into range.
  void SetValue(int v);

protected:
  void CreateParams(fw::TCreateParams& p) override;
  void DoExit() override;
};

}  // namespace qv::app
