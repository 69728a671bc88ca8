// Radio group: buttons are owned by the group and re-made with the items.
#include "framework/RadioGroup.h"

#include <algorithm>

namespace qv::fw {

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner) {}

TRadioButton* TRadioGroup::Button(int index) const {
  return index >= 0 && index < static_cast<int>(m_buttons.size()) ? m_buttons[static_cast<size_t>(index)] : nullptr;
}

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
  for (TRadioButton* b : m_buttons) delete b;
  m_buttons.clear();
  m_items = items;
  m_itemIndex = -1;
  for (size_t i = 0; i < items.size(); ++i) {
    auto& b = Make<TRadioButton>(Name() + "Item" + std::to_string(i));
    b.SetCaption(items[i]);
    b.SetParent(this);
    const int index = static_cast<int>(i);
    b.OnClick = [this, index](TComponent&) { ButtonClicked(index); };
    b.OnKeyDown = [this, index](TComponent&, WORD& key, TShiftState) { ArrowKey(index, key); };
    m_buttons.push_back(&b);
  }
  UpdateTabStops();
  ArrangeButtons();
}

void TRadioGroup::ArrowKey(int from, WORD& key) {
  // Arrows move the choice within the group (wrapping), as in dialogs.
  int step = 0;
  if (key == VK_DOWN || key == VK_RIGHT) step = 1;
  if (key == VK_UP || key == VK_LEFT) step = -1;
  if (step == 0) return;
  key = 0;
  const int count = static_cast<int>(m_buttons.size());
  for (int n = 1; n < count; ++n) {
    const int i = ((from + step * n) % count + count) % count;
    TRadioButton* b = m_buttons[static_cast<size_t>(i)];
    if (!b->Enabled() || !b->Visible()) continue;
    SetItemIndex(i);
    b->SetFocus();
    return;
  }
}

void TRadioGroup::UpdateTabStops() {
  // Tab reaches the group once: at its checked button, or its first.
  for (size_t i = 0; i < m_buttons.size(); ++i)
    m_buttons[i]->SetTabStop(static_cast<int>(i) == std::max(m_itemIndex, 0));
}

bool TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(m_buttons.size())) return false;
  if (index == m_itemIndex) return true;
  if (index >= 0) {
    m_buttons[static_cast<size_t>(index)]->SetChecked(true);  // reaches ButtonClicked
  } else {
    m_updating = true;
    for (TRadioButton* b : m_buttons) b->SetChecked(false);
    m_updating = false;
    m_itemIndex = -1;
    UpdateTabStops();
    if (!Loading()) Click();
  }
  return true;
}

void TRadioGroup::ButtonClicked(int index) {
  if (m_updating || index == m_itemIndex) return;
  m_itemIndex = index;
  UpdateTabStops();
  if (!Loading()) Click();
}

void TRadioGroup::SetColumns(int n) {
  n = std::clamp(n, 1, 16);
  if (n == m_columns) return;
  m_columns = n;
  ArrangeButtons();
}

void TRadioGroup::Resized() {
  ArrangeButtons();
  TGroupBox::Resized();
}

void TRadioGroup::FontChanged() {
  TGroupBox::FontChanged();
  ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
  if (m_buttons.empty()) return;
  // Below the caption, the rows share the height evenly; columns the width.
  const TEXTMETRICA tm = FontMetrics(EffectiveFont().Handle());
  const int count = static_cast<int>(m_buttons.size());
  const int rows = (count + m_columns - 1) / m_columns;
  const int textHeight = static_cast<int>(tm.tmHeight);
  const int top = textHeight + 1;
  const int rowHeight = std::max((Height() - top - 4) / rows, 1);
  const int colWidth = std::max((Width() - 10) / m_columns, 1);
  for (int i = 0; i < count; ++i) {
    const int col = i / rows, row = i % rows;
    const int h = std::min(rowHeight, textHeight + 6);
    m_buttons[static_cast<size_t>(i)]->SetBounds(8 + col * colWidth, top + row * rowHeight + (rowHeight - h) / 2,
                                                 std::max(colWidth - 8, 1), h);
  }
}

}  // namespace qv::fw
