// TRadioGroup: a group box holding one radio button per item, laid out in
// columns, with the checked item as ItemIndex. Arrow keys move the choice;
// Tab stops at the checked button only. Each button is a real child named
// after the group ("<Group>Item0", ...) so tests find it.
// Example:  auto& g = form.Make<TRadioGroup>("RadioPosIndice"); g.SetItems({"A", "B"}); g.SetItemIndex(1);
// Tested by tests/framework/ComCtrls_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "framework/StdCtrls.h"

namespace qv::fw {

class TRadioGroup : public TGroupBox {
public:
  explicit TRadioGroup(TComponent* owner);

  const std::vector<std::string>& Items() const { return m_items; }
  // New buttons, none checked (ItemIndex -1).
  void SetItems(const std::vector<std::string>& items);
  int ItemIndex() const { return m_itemIndex; }
  // -1 unchecks all; out of range is refused (false). A change runs OnClick
  // (as a click on a button does), except while loading.
  bool SetItemIndex(int index);
  int Columns() const { return m_columns; }
  void SetColumns(int n);
  TRadioButton* Button(int index) const;

protected:
  void Resized() override;
  void FontChanged() override;

private:
  void ArrangeButtons();
  void ButtonClicked(int index);
  void ArrowKey(int from, WORD& key);
  void UpdateTabStops();
  std::vector<std::string> m_items;
  std::vector<TRadioButton*> m_buttons;
  int m_itemIndex = -1;
  int m_columns = 1;
  bool m_updating = false;
};

}  // namespace qv::fw
