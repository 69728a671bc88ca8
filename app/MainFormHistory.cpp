// The model combos' histories (newest first, at most "Max Combo" entries,
// one list per mode) and the main window's keyboard and mouse shortcuts.
#include "app/MainForm.h"

#include "engine/DateTime.h"

namespace qv::app {

using namespace qv::fw;
namespace eng = qv::engine;

void TMainForm::AddHistoryEntry(TComboBox& combo, bool script, std::vector<std::string>& names,
                                std::vector<std::string>& scripts, int32_t& idxName, int32_t& idxScript) {
  const std::string text = combo.Text();
  if (text.empty() || text == "*" || text == "?" || text == "<>" || text == "<" || text == ">") return;
  std::vector<std::string>& history = script ? scripts : names;
  int32_t& index = script ? idxScript : idxName;
  if (const int32_t shown = ShownEntry(combo); shown >= 0) {
    index = shown;
    return;
  }
  if (!m_engine->Options.SaveSaisie) return;
  combo.InsertItem(0, text);
  // Trim from the end until the history fits (a lowered limit drops several).
  const int maxCombo = std::max(1, m_engine->Options.MaxCombo);
  while (combo.ItemCount() > maxCombo) combo.DeleteItem(combo.ItemCount() - 1);
  combo.SetItemIndex(0);
  history = combo.Items();
  index = 0;
}

void TMainForm::RemoveHistoryEntry(TComboBox& combo, bool script, std::vector<std::string>& names,
                                   std::vector<std::string>& scripts, int32_t& idxName, int32_t& idxScript) {
  const std::string text = combo.Text();
  const auto& items = combo.Items();
  const auto it = std::find(items.begin(), items.end(), text);
  if (it != items.end()) {
    combo.DeleteItem(static_cast<int>(it - items.begin()));
    (script ? scripts : names) = combo.Items();
    (script ? idxScript : idxName) = 0;
  }
  combo.SetText("");
  if (&combo == EditFile)
    EditFileChange(combo);
  else
    EditExtChange(combo);
}

int32_t TMainForm::ShownEntry(const TComboBox& combo) {
  if (combo.ItemIndex() >= 0) return combo.ItemIndex();
  // A typed text selects no entry: the equal entry's place is what the
  // combo shows, and what the next start must select.
  const auto& items = combo.Items();
  const auto it = std::find(items.begin(), items.end(), combo.Text());
  return it == items.end() ? -1 : static_cast<int32_t>(it - items.begin());
}

void TMainForm::SwitchHistory(TComboBox& combo, bool toScript, std::vector<std::string>& names,
                              std::vector<std::string>& scripts, int32_t& idxName, int32_t& idxScript) {
  int32_t& leaving = toScript ? idxName : idxScript;
  // A text in no entry keeps the place remembered before it.
  if (const int32_t shown = ShownEntry(combo); shown >= 0) leaving = shown;
  if (toScript)
    FillCombo(combo, scripts, idxScript, "");
  else
    FillCombo(combo, names, idxName, "");
}

void TMainForm::EditFileExit(TComponent&) {
  auto& o = m_engine->Options;
  auto& h = m_engine->Histories;
  AddHistoryEntry(*EditFile, o.ScriptFile, h.NameHistory, h.NameScriptHistory, o.IdxNameFile, o.IdxScriptFile);
}

void TMainForm::EditExtExit(TComponent&) {
  auto& o = m_engine->Options;
  auto& h = m_engine->Histories;
  AddHistoryEntry(*EditExt, o.ScriptExtension, h.ExtHistory, h.ExtScriptHistory, o.IdxNameExtension,
                  o.IdxScriptExtension);
}

void TMainForm::EditFileKeyDown(TComponent&, WORD& key, TShiftState shift) {
  if (key != VK_DELETE || !shift.Ctrl || !m_engine->Options.DeleteList) return;
  auto& o = m_engine->Options;
  auto& h = m_engine->Histories;
  RemoveHistoryEntry(*EditFile, o.ScriptFile, h.NameHistory, h.NameScriptHistory, o.IdxNameFile, o.IdxScriptFile);
  key = 0;
}

void TMainForm::EditExtKeyDown(TComponent&, WORD& key, TShiftState shift) {
  if (key != VK_DELETE || !shift.Ctrl || !m_engine->Options.DeleteList) return;
  auto& o = m_engine->Options;
  auto& h = m_engine->Histories;
  RemoveHistoryEntry(*EditExt, o.ScriptExtension, h.ExtHistory, h.ExtScriptHistory, o.IdxNameExtension,
                     o.IdxScriptExtension);
  key = 0;
}

void TMainForm::EditFileKeyPress(TComponent&, char& key) {
  if (key != '\r') return;
  key = 0;  // swallowed: no beep
  CommitFocusedEdit();
  m_engine->Options.Mask = EditMask->Text();
  RefreshFileList();
}

void TMainForm::EditMaskMouseDown(TComponent&, TMouseButton, TShiftState shift, int, int) {
  if (!shift.Ctrl) return;
  EditMask->SetText("*.*");
  m_engine->Options.Mask = "*.*";
  RefreshFileList();
}

void TMainForm::TimePickerKeyDown(TComponent&, WORD& key, TShiftState shift) {
  std::string t;
  if (shift.Ctrl) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    t = eng::FormatDateTime(
        "hh:nn:ss", eng::EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, 0}).value_or(0.0));
  } else if (shift.Alt) {
    t = "00:00:00";
  } else {
    return;
  }
  m_engine->Options.Time = t;
  TimePicker->SetDateTime(eng::StrToTime(t).value_or(0.0));
  (void)key;
}

void TMainForm::DateEditKeyDown(TComponent&, WORD&, TShiftState shift) {
  if (!shift.Ctrl) return;
  SYSTEMTIME st;
  GetLocalTime(&st);
  const eng::TDateTime today = eng::EncodeDateOnly(st.wYear, st.wMonth, st.wDay);
  m_engine->Options.Date = eng::DateToStr(today);
  DateEdit->SetText(m_engine->Options.Date);
}

void TMainForm::FormKeyDown(TComponent& sender, WORD& key, TShiftState shift) {
  if (key == VK_F4 && !shift.Alt) {
    BtnDirClick(sender);
    key = 0;
  } else if (key == VK_F5) {
    BtnRefreshClick(sender);
    key = 0;
  } else if (key == VK_F12 && shift.Ctrl) {
    PopOutListeClick(sender);
    key = 0;
  }
}

}  // namespace qv::app
