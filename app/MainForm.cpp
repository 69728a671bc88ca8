// The main window's construction, lifetime and layout rules, the start-up
// timer and the hand-over from a later instance.
#include "app/MainForm.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>

#include "app/APropos.h"
#include "app/DialogSupport.h"
#include "app/Instance.h"
#include "app/RegistrySettingsStore.h"
#include "controls/dates/QxDateUtil.h"
#include "engine/DateTime.h"
#include "engine/TextUtils.h"
#include "engine/win32/SystemHelpers.h"
#include "engine/win32/WideText.h"
#include "framework/Application.h"

namespace qv::app {

using namespace qv::fw;
namespace eng = qv::engine;

bool ResizePending = false;
bool WindowShown = false;

namespace {

// The maker's page, kept scrambled so it does not stand as plain text in the
// executable (each byte XOR 0x5A).
std::string WebAddress() {
  static const unsigned char scrambled[] = {0x2B, 0x2F, 0x35, 0x28, 0x2C, 0x3B, 0x34, 0x2E, 0x74, 0x32, 0x3B,
                                            0x36, 0x38, 0x28, 0x3F, 0x39, 0x32, 0x2E, 0x74, 0x3C, 0x28};
  std::string s;
  for (unsigned char c : scrambled) s += static_cast<char>(c ^ 0x5A);
  return s;
}

std::string DocumentsFolder() {
  std::string docs = eng::GetSpecialFolderPath(CSIDL_PERSONAL, false);
  return eng::StripTrailingBackslashes(docs);
}

eng::TDateTime NowValue() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return eng::EncodeDateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds})
      .value_or(0.0);
}

// The date edit reads and shows dates as the program writes them: in the
// system's short date format, with French names.
controls::TDateLocale ProgramDateLocale() {
  controls::TDateLocale l;
  l.Entry.ShortDateFormat = eng::DefaultFormatSettings().ShortDateFormat;
  for (int m = 1; m <= 12; ++m)
    l.Entry.LongMonthNames[static_cast<size_t>(m - 1)] = eng::FormatDateTime("mmmm", eng::EncodeDateOnly(2001, m, 1));
  // 7 January 2001 was a Sunday.
  for (int d = 0; d < 7; ++d)
    l.ShortDayNames[static_cast<size_t>(d)] = eng::FormatDateTime("ddd", eng::EncodeDateOnly(2001, 1, 7 + d));
  return l;
}

}  // namespace

int ScaleForDpiMain(int v) { return eng::ScaleForDpi(v); }

TMainForm::TMainForm(TComponent* owner, std::vector<std::string> args)
    : TForm(owner, "TMainForm"), m_args(std::move(args)) {
  // Dates and times in the system's formats, before anything shows one.
  eng::SetDefaultFormatSettings(eng::SystemFormatSettings());
  m_engine = std::make_unique<eng::TRenameEngine>(m_folderReader, m_mediaFiles);
  m_engine->Listing.SetTimeZone(eng::win32::SystemTimeZone());
  StartEarlyListing();
  controls::SetDateLocale(ProgramDateLocale());
  BuildLayout();
  FinishCreate();
}

TMainForm::~TMainForm() {
  // The list must stop asking for rows before the listing goes away.
  if (m_feed) m_feed->Detach();
  if (Application() && Application()->OnMessage) Application()->OnMessage = nullptr;
}

void TMainForm::FormCreate(TComponent&) {
  m_settingControls = true;
  // Flicker-free painting of everything but the preview, whose background
  // comes from its parent.
  for (TControl* c : Controls())
    if (c->IsWindowed() && c != RichEdit) static_cast<TWinControl*>(c)->SetDoubleBuffered(true);

  Application()->OnHint = [this](TComponent& s) { ShowHintInStatusBar(s); };
  LabelVer->SetCaption("3.2.0.0");
  LabelCopyR->SetCaption(kRightsLine);
  ASLinkWeb->SetURLType(TURLType::utHttps);
  ASLinkWeb->SetURLAdr(WebAddress());
  ASLinkWeb->SetCaption("quorvant.halbrecht.fr");
  ASLinkWeb->Font().SetColor(0x800000);
  ASLinkWeb->SetLinkColor(clRed);
  ImgGrey->SetAutoSize(true);
  ImgTitre->SetAutoSize(true);

  FormPlacement->SetIniFileName(eng::kProductKey);
  FormPlacement->SetIniSection("Placement");

  // The file list and its feeding from the engine.
  m_feed = std::make_unique<TFileListFeed>(
      *FileList, m_engine->Options, m_engine->Listing, m_engine->Names(),
      [this](const std::string& text) { SetStatusFileText(text); },
      [this](bool active, const std::string& folder) {
        QxFolderMonitor->SetFolderName(folder);
        if (!active) QxFolderMonitor->SetActive(false);
        else SetMonitorActive(m_engine->Options.Auto);
      });
  m_feed->WindowShown = [] { return WindowShown; };
  m_feed->UpdateAutoFormat = [this](size_t count) { UpdateAutoFormat(count); };
  m_feed->Attach();
  FileList->SaveSettings().SaveViewStyle = false;
  FileList->SaveSettings().RegistryKey = eng::kProductKey;
  FileList->SaveSettings().AutoSave = true;
  FileList->AutoLoadSettings();

  // Options, with today and now as the date and time defaults.
  eng::SetStartupDefaults(m_engine->Options, NowValue(), DocumentsFolder());
  TRegistrySettingsStore store;
  eng::LoadSettings(store, m_engine->Options, m_engine->Histories);
  eng::TProgramOptions& o = m_engine->Options;
  ApplyHintOption();
  ApplyTextureMain(true);

  std::string editor = o.Editor;
  CharUpperBuffA(editor.data(), static_cast<DWORD>(editor.size()));
  if (editor.empty() || editor == "NOTEPAD.EXE") o.Editor = eng::GetWindowsDir() + "\\NOTEPAD.EXE";

  const DWORD dirAttr = o.Directory.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(o.Directory.c_str());
  if (dirAttr != INVALID_FILE_ATTRIBUTES && (dirAttr & FILE_ATTRIBUTE_DIRECTORY))
    EditDir->SetText(o.Directory);
  else
    o.Directory.clear();

  // Model combos from their histories.
  if (!o.ScriptFile)
    FillCombo(*EditFile, m_engine->Histories.NameHistory, o.IdxNameFile, o.NameFile);
  else
    FillCombo(*EditFile, m_engine->Histories.NameScriptHistory, o.IdxScriptFile, "");
  if (!o.ScriptExtension)
    FillCombo(*EditExt, m_engine->Histories.ExtHistory, o.IdxNameExtension, o.NameExtension);
  else
    FillCombo(*EditExt, m_engine->Histories.ExtScriptHistory, o.IdxScriptExtension, "");
  // The boxes ticked below size the slider on these models.
  o.NameFile = EditFile->Text();
  o.NameExtension = EditExt->Text();
  EditFile->SetDropDownCount(o.DownCount);
  EditExt->SetDropDownCount(o.DownCount);

  // Every control from the options; the check boxes run their handlers,
  // which store values back: keep the loaded ones first.
  const bool autoFormat = o.AutoFormat;
  const int32_t format = std::max<int32_t>(1, o.Format);
  const char character = o.Character;
  const int32_t position = o.Position;
  CheckFormat->SetChecked(autoFormat);
  PlaceFileList();
  CheckExt->SetChecked(o.ExtensionIndice);
  CheckAucun->SetChecked(o.NoneIndice);
  QxSlider->SetValue(position);
  EditMask->SetText(o.Mask);
  const int casseFile = o.CasseFile, casseExt = o.CasseExtension;
  CheckNoFile->SetChecked(o.NoFile);
  CheckSpFile->SetChecked(o.ScriptFile);
  o.NameFile = EditFile->Text();
  SetNameCaseBox(casseFile);
  CheckNoExt->SetChecked(o.NoExtension);
  CheckSpExt->SetChecked(o.ScriptExtension);
  o.NameExtension = EditExt->Text();
  SetExtCaseBox(casseExt);
  CheckDateOn->SetChecked(o.DateOn);
  DateEdit->SetText(o.Date);
  CheckTimeOn->SetChecked(o.TimeOn);
  if (auto t = eng::StrToTime(o.Time)) {
    TimePicker->SetDateTime(*t);
  } else {
    o.Time = eng::FormatDateTime("hh:nn:ss", NowValue());
    if (auto now = eng::StrToTime(o.Time)) TimePicker->SetDateTime(*now);
  }
  UpdateDateTimeControls();
  UpdateScanAttributes();
  CheckAttrOn->SetChecked(o.AttributOn);
  ApplyAttributeOption();
  EditCara->SetText(std::string(1, character));
  o.Character = character;
  ShowFormatWidth(format);
  UpdatePadCharacter();
  SpinDebut->SetValue(o.Start);
  CheckFormat->SetChecked(autoFormat);
  ApplyAutoOption();
  PopOutListe->Checked = !o.ActiveListe;
  ApplyGridOption();
  ApplyListActive();
  UpdateSliderRange();
  // The handlers above moved the slider while the models were still being
  // set: only the final model may clamp the stored position.
  if (o.PositionIndice == 0 && SliderModelLength() > 0) {
    QxSlider->SetValue(position);
    o.Position = QxSlider->Value();
  }
  m_settingControls = false;
  UpdateModelPreview(true);

  m_feed->RestoreSavedSort();

  FormPlacement->SetUseRegistry(true);
  FormPlacement->LoadPlacement();

  Application()->OnMessage = [this](MSG& msg, bool& handled) { RepaintPreviewAfterResize(msg, handled); };
}

void TMainForm::FillCombo(TComboBox& combo, const std::vector<std::string>& history, int32_t& index,
                          const std::string& emptyText) {
  combo.SetItems(history);
  if (history.empty()) {
    combo.SetText(emptyText);
    return;
  }
  SelectHistoryEntry(combo, index);
  index = combo.ItemIndex();
}

void TMainForm::SelectHistoryEntry(TComboBox& combo, int32_t index) {
  // A stored place outside the list (a lost entry, a hand-edited value)
  // must still show a model, never an empty combo.
  if (index < 0 || !combo.SetItemIndex(index)) combo.SetItemIndex(0);
}

void TMainForm::FormClose(TComponent&, TCloseAction& action) {
  m_closing = true;
  CommitFocusedEdit();
  TRegistrySettingsStore store;
  eng::SaveSettings(store, m_engine->Options, m_engine->Histories);
  FormPlacement->StorePlacement();
  QxFolderMonitor->SetActive(false);
  m_feed->Detach();
  action = TCloseAction::Free;
}

void TMainForm::FormShow(TComponent&) {
  Repaint();
  WindowShown = true;
  Timer->SetEnabled(true);
}

void TMainForm::TimerTimer(TComponent&) {
  Timer->SetEnabled(false);
  if (m_startDone) return;
  m_startDone = true;
  if (!m_args.empty() && !IsHelpSwitch(m_args[0]))
    OpenFolderFromCommand(m_args[0]);
  else
    RefreshFileList();
  // Taken by the scan above, or of no use now.
  m_folderReader.DropEarlyListing();
}

void TMainForm::StartEarlyListing() {
  // The guess needs not be right: the first scan takes the entries only
  // when they are of its folder and still current.
  TRegistrySettingsStore store;
  if (!store.ReadBool(eng::kOptionsKey, "Active Liste", true)) return;
  const std::string folder = !m_args.empty() && !IsHelpSwitch(m_args[0])
                                 ? m_args[0]
                                 : store.ReadString(eng::kOptionsKey, "Directory", "");
  if (!folder.empty()) m_folderReader.ListEarly(eng::win32::U16(folder));
}

void TMainForm::OpenFolderFromCommand(const std::string& path) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) return;
  SetForegroundWindow(Handle());
  const std::string lower = eng::AnsiLowerCase(path);
  if (lower != m_engine->Options.Directory)
    EditDir->SetText(lower);
  else
    RefreshFileList();
}

void TMainForm::WMCopyData(const COPYDATASTRUCT* data) {
  if (!data) return;
  const auto text = DecodeInstanceMessage(data->lpData, data->cbData);
  if (!text) return;
  // While a scan or a run is under way the monitor is off: the folder must
  // not change under them.
  if (QxFolderMonitor->Active()) OpenFolderFromCommand(*text);
}

void TMainForm::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // The taskbar button, with this caption, is this window's own; the
  // application window stays hidden.
  params.Unowned = true;
  params.ExStyle |= WS_EX_APPWINDOW;
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COPYDATA: {
      const LRESULT r = TForm::WndProc(msg, wp, lp);
      WMCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
      return r ? r : TRUE;
    }
    case WM_SYSCOLORCHANGE:
      ApplyTextureMain(true);
      return 0;
    case WM_CLOSE:
      if (ModalWorkOpen()) {
        RefuseCloseWhileModal();
        return 0;
      }
      break;
    case WM_QUERYENDSESSION:
      if (ModalWorkOpen()) {
        RefuseCloseWhileModal();
        return FALSE;
      }
      break;
    default:
      break;
  }
  return TForm::WndProc(msg, wp, lp);
}

bool TMainForm::ModalWorkOpen() const {
  // A message box of a handler counts as much as a dialog: its handler
  // goes on after it, on this window.
  return m_modalDialogs > 0 || (Application() && Application()->ModalFormOpen());
}

void TMainForm::RefuseCloseWhileModal() {
  MessageBeep(MB_OK);
  // The open dialog is what the user has to answer. It is owned by this
  // window, or by the application window when it was made before this one
  // had its handle.
  for (HWND owner : {Handle(), Application() ? Application()->Handle() : nullptr}) {
    HWND popup = owner ? GetLastActivePopup(owner) : nullptr;
    if (popup && popup != owner && popup != Handle()) {
      SetForegroundWindow(popup);
      return;
    }
  }
}

void TMainForm::FormResize(TComponent&) {
  if (!BevelFilter) return;
  ResizePending = true;
  const int W = ClientWidth(), H = Height(), Wf = Width();
  BevelFilter->SetLeft(W - 107);
  LabelFilter->SetLeft(BevelFilter->Left() + 2);
  BevelLineFilter->SetLeft(LabelFilter->Left());
  EditMask->SetLeft(BevelFilter->Left() + 10);

  const int a = Wf - BevelFilter->Width() - BevelModel->Left();
  BevelModel->SetWidth(a - 25);
  LabelModel->SetWidth(a - 30);
  BevelLineModel->SetWidth(a - 30);
  RichEdit->SetWidth(a - 45);

  const int d = BevelFilter->Left() + BevelFilter->Width() - BevelModel->Left();
  BevelDetail->SetWidth(d);
  LabelDetail->SetWidth(d - 5);
  BevelLineDetail->SetWidth(d - 5);
  FileList->SetWidth(d - 20);
  BtnCacheList->SetLeft(FileList->Left() + FileList->Width() - 8);

  const int bw = d / 4 - 10;
  BtnOptions->SetWidth(bw);
  BtnAide->SetBounds(BtnOptions->Left() + bw, BtnAide->Top(), bw, BtnAide->Height());
  BtnAProp->SetBounds(BtnAide->Left() + bw, BtnAProp->Top(), bw, BtnAProp->Height());
  BtnRefresh->SetBounds(BtnAProp->Left() + bw, BtnRefresh->Top(), bw, BtnRefresh->Height());
  BtnAuto->SetBounds(BtnRefresh->Left() + bw, BtnAuto->Top(), BevelDetail->Width() - 4 * bw, BtnAuto->Height());

  BevelDetail->SetHeight(H - 170);
  FileList->SetHeight(BevelDetail->Height() - 30);

  const int t = StatusBar->Top() - BtnRenommer->Height() - 6;
  for (TControl* b : std::initializer_list<TControl*>{BtnRenommer, BtnSimuler, BtnQuitter, BtnOptions, BtnAide,
                                                     BtnAProp, BtnRefresh, BtnAuto})
    b->SetTop(t);
}

void TMainForm::PlaceFileList() {
  FileList->SetLeft(ScaleForDpiMain(10) + BevelDetail->Left());
  FileList->SetTop(ScaleForDpiMain(23) + BevelDetail->Top());
  FileList->SetWidth(ScaleForDpiMain(FileList->Width()));
}

void TMainForm::RepaintPreviewAfterResize(MSG&, bool&) {
  if (!ResizePending || m_closing) return;
  ResizePending = false;
  RichEdit->Repaint();
  UpdateModelPreview(false);
}

void TMainForm::ApplyTextureMain(bool resend) {
  ApplyTexture(m_engine->Options.Texture, *WallpaperMain, TextureSource());
  if (resend) RefreshSystemColors();
}

void TMainForm::RefreshSystemColors() {
  EnumChildWindows(
      Handle(),
      [](HWND child, LPARAM) -> BOOL {
        SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
        return TRUE;
      },
      0);
  RichEdit->SetColor(clBtnShadow);
  RichEdit->SetColor(clBtnFace);
  SpinDebut->SetButtonKind(controls::bkStandard);
  SpinDebut->SetButtonKind(controls::bkDiagonal);
  QxSlider->SetImageColors(controls::siHThumb, 7, {clBtnFace});
}

void TMainForm::ShowHintInStatusBar(TComponent&) {
  if (StatusBar->PanelCount() > 0) StatusBar->Panel(0).SetText(Application()->Hint());
}

void TMainForm::ApplyHintOption() { Application()->SetShowHint(m_engine->Options.Hint); }

void TMainForm::SetMainStatus(const std::string& text) {
  if (StatusBar->PanelCount() > 0) StatusBar->Panel(0).SetText(text);
}

void TMainForm::SetStatusFileText(const std::string& text) {
  if (StatusBar->PanelCount() > 1) StatusBar->Panel(1).SetText(text);
}

// --- The run host

void TMainForm::CommitFocusedEdit() {
  HWND focused = GetFocus();
  BtnFocus->SetFocus();
  if (focused && IsWindowEnabled(focused) && IsWindowVisible(focused)) ::SetFocus(focused);
}

int TMainForm::ListItemCount() const { return FileList->ItemCount(); }

void TMainForm::RefreshFileList() {
  if (!m_feed) return;
  m_engine->Values().ClearCache();
  m_engine->Interpreter().SetFolderName(eng::ExtractFolderName(m_engine->Options.Directory));
  m_feed->RefreshFileList();
}

void TMainForm::SetMonitorActive(bool active) {
  if (active) QxFolderMonitor->SetFolderName(m_engine->Options.Directory);
  QxFolderMonitor->SetActive(active);
  BtnAuto->SetDown(m_engine->Options.Auto);
}

void TMainForm::FocusModelField(eng::TModelField field) {
  TWinControl* target = field == eng::TModelField::Name        ? static_cast<TWinControl*>(EditFile)
                        : field == eng::TModelField::Extension ? static_cast<TWinControl*>(EditExt)
                        : field == eng::TModelField::Format    ? static_cast<TWinControl*>(EditCara)
                                                                : nullptr;
  if (target && target->CanFocus()) target->SetFocus();
}

void TMainForm::FocusFolderEdit() {
  if (EditDir->CanFocus()) EditDir->SetFocus();
}

TDialogPlacement TMainForm::DialogPlacement() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  return TDialogPlacement{r.left, r.top, BevelDossier->Left(), BevelDossier->Top()};
}

HBITMAP TMainForm::TextureSource() { return ImgGrey->Bitmap(); }

}  // namespace qv::app
