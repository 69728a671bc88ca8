// TMainForm: the program's only main window. Folder, filter, name and
// extension models, index, date, time and attribute controls on the left,
// the model preview and the virtual file list on the right, the command
// buttons and the status bar at the bottom. It owns the engine object (the
// options, histories, listing, readers) and the feeding of the file list.
// Layout: MainForm.layout.cpp. Construction, lifetime, resizing, start-up:
// MainForm.cpp. Control handlers and the preview: MainFormHandlers.cpp.
// Histories and shortcuts: MainFormHistory.cpp.
// End-to-end tests: tests/app/MainForm_e2e_test.cpp and its neighbours.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/ASLink.h"
#include "app/DialogHost.h"
#include "app/FileListFeed.h"
#include "app/OndrelGradientButton.h"
#include "app/OndrelWallpaper.h"
#include "app/RunRequests.h"
#include "controls/buttons/QxSpeedButton.h"
#include "controls/dates/QxDateEdit.h"
#include "controls/edits/QxSpinEdit.h"
#include "controls/lists/ExtListView.h"
#include "controls/slider/QxSlider.h"
#include "controls/status/QvStatusBar.h"
#include "engine/RenameEngine.h"
#include "engine/win32/Win32FolderReader.h"
#include "engine/win32/Win32MediaFiles.h"
#include "framework/ComCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"
#include "services/QxNotify.h"
#include "services/QxPlacement.h"

namespace qv::app {

// Pending-repaint flag of the preview: set by every resize, cleared by the
// message hook that recomputes the preview once per burst.
extern bool ResizePending;
// Set when the main window is shown for the first time; no scan before.
extern bool WindowShown;

class TMainForm : public fw::TForm, public IRunHost, public IOptionsHost {
public:
  // args: the command-line arguments (the first may be a folder).
  TMainForm(fw::TComponent* owner, std::vector<std::string> args);
  ~TMainForm() override;

  // --- Controls (owned by the form; names as in the layout)
  TOndrelWallpaper* WallpaperMain = nullptr;
  fw::TImage* ImgGrey = nullptr;
  fw::TImage* ImgTitre = nullptr;
  fw::TImage* Image1 = nullptr;
  fw::TLabel* LabelVer = nullptr;
  fw::TLabel* LabelCopyR = nullptr;
  TASLink* ASLinkWeb = nullptr;
  fw::TBevel* BevelDossier = nullptr;
  fw::TLabel* Label11 = nullptr;
  fw::TEdit* EditDir = nullptr;
  TOndrelGradientButton* BtnDir = nullptr;
  fw::TBevel* BevelFilter = nullptr;
  fw::TLabel* LabelFilter = nullptr;
  fw::TBevel* BevelLineFilter = nullptr;
  fw::TEdit* EditMask = nullptr;
  fw::TBevel* BevelModel = nullptr;
  fw::TLabel* LabelModel = nullptr;
  fw::TBevel* BevelLineModel = nullptr;
  fw::TRichEdit* RichEdit = nullptr;
  fw::TBevel* BevelNom = nullptr;
  fw::TLabel* Label15 = nullptr;
  fw::TComboBox* EditFile = nullptr;
  fw::TCheckBox* CheckNoFile = nullptr;
  fw::TCheckBox* CheckSpFile = nullptr;
  fw::TImage* ImgScriptFile = nullptr;
  fw::TCheckBox* CheckFileMaj = nullptr;
  fw::TCheckBox* CheckFileMajMin = nullptr;
  fw::TCheckBox* CheckFileMajMaj = nullptr;
  fw::TCheckBox* CheckFileMin = nullptr;
  fw::TBevel* BevelExt = nullptr;
  fw::TLabel* Label14 = nullptr;
  fw::TComboBox* EditExt = nullptr;
  fw::TCheckBox* CheckNoExt = nullptr;
  fw::TCheckBox* CheckSpExt = nullptr;
  fw::TImage* ImgScriptExt = nullptr;
  fw::TCheckBox* CheckExtMaj = nullptr;
  fw::TCheckBox* CheckExtMajMin = nullptr;
  fw::TCheckBox* CheckExtMin = nullptr;
  fw::TBevel* BevelIndice = nullptr;
  fw::TLabel* Label12 = nullptr;
  fw::TEdit* EditFormat = nullptr;
  fw::TEdit* EditCara = nullptr;
  controls::TQxSpinEdit* SpinDebut = nullptr;
  fw::TCheckBox* CheckFormat = nullptr;
  fw::TCheckBox* CheckAucun = nullptr;
  fw::TLabel* LabelAucun = nullptr;
  fw::TCheckBox* CheckExt = nullptr;
  controls::TQxSlider* QxSlider = nullptr;
  fw::TLabel* LabelPosition = nullptr;
  controls::TQxSpeedButton* BtnIndice1 = nullptr;
  controls::TQxSpeedButton* BtnIndice2 = nullptr;
  fw::TBevel* BevelDate = nullptr;
  fw::TCheckBox* CheckDateOn = nullptr;
  controls::TDateEdit* DateEdit = nullptr;
  fw::TCheckBox* CheckTimeOn = nullptr;
  fw::TDateTimePicker* TimePicker = nullptr;
  fw::TBevel* BevelAttr = nullptr;
  fw::TCheckBox* CheckAttrOn = nullptr;
  fw::TCheckBox* CheckRead = nullptr;
  fw::TCheckBox* CheckHidden = nullptr;
  fw::TCheckBox* CheckSystem = nullptr;
  fw::TCheckBox* CheckArchive = nullptr;
  fw::TLabel* LabelDecimal = nullptr;
  fw::TBevel* BevelDetail = nullptr;
  fw::TLabel* LabelDetail = nullptr;
  fw::TBevel* BevelLineDetail = nullptr;
  controls::TQsExtListView* FileList = nullptr;
  controls::TQxSpeedButton* BtnCacheList = nullptr;
  fw::TPopupMenu* PopupListe = nullptr;
  fw::TMenuItem* PopOutListe = nullptr;
  TOndrelGradientButton* BtnRenommer = nullptr;
  TOndrelGradientButton* BtnSimuler = nullptr;
  TOndrelGradientButton* BtnQuitter = nullptr;
  TOndrelGradientButton* BtnOptions = nullptr;
  TOndrelGradientButton* BtnAide = nullptr;
  TOndrelGradientButton* BtnAProp = nullptr;
  TOndrelGradientButton* BtnRefresh = nullptr;
  TOndrelGradientButton* BtnAuto = nullptr;
  fw::TButton* BtnFocus = nullptr;
  controls::TQvStatusBar* StatusBar = nullptr;
  controls::TFormPlacement* FormPlacement = nullptr;
  controls::TQxFolderMonitor* QxFolderMonitor = nullptr;
  fw::TTimer* Timer = nullptr;

  // --- State the dialogs and tests read
  engine::TRenameEngine& Engine() { return *m_engine; }
  TFileListFeed& Feed() { return *m_feed; }
  const std::string& ModelText() const { return FModelText; }

  // --- The run host (rename and simulation requests)
  void CommitFocusedEdit() override;
  engine::TProgramOptions& Options() override { return m_engine->Options; }
  engine::TFileListing& Listing() override { return m_engine->Listing; }
  engine::TNameBuilder& Names() override { return m_engine->Names(); }
  const std::string& ModelLine() const override { return FModelText; }
  std::string MaskText() const override { return EditMask->Text(); }
  std::string NameModelText() const override { return EditFile->Text(); }
  std::string ExtensionModelText() const override { return EditExt->Text(); }
  std::string PadCharacterText() const override { return EditCara->Text(); }
  int ListItemCount() const override;
  void ReactivateList() override { PopOutListeClick(*this); }
  void RefreshFileList() override;
  void SetMonitorActive(bool active) override;
  void FocusModelField(engine::TModelField field) override;
  void FocusFolderEdit() override;
  TDialogPlacement DialogPlacement() override;
  HBITMAP TextureSource() override;
  void ClearMediaCache() override { m_engine->Values().ClearCache(); }
  void SetMainStatus(const std::string& text) override;

  // --- The options dialog's host (the rest is shared with the run host)
  void ApplyMainTexture() override { ApplyTextureMain(false); }
  void ReloadListForDateFormat() override;
  void SetModelDropDownCount(int rows) override;

  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
  void CreateParams(fw::TCreateParams& params) override;

private:
  // A close asked while one of this window's modal dialogs is open is
  // refused: beep, dialog up.
  void RefuseCloseWhileModal();
  // A dialog or message box of this window is open, or a run is on.
  bool ModalWorkOpen() const;
  // Layout (MainForm.layout.cpp)
  void BuildLayout();
  void BindEvents();

  // Construction, lifetime, layout rules (MainForm.cpp)
  void FormCreate(fw::TComponent& sender);
  void FormClose(fw::TComponent& sender, fw::TCloseAction& action);
  void FormResize(fw::TComponent& sender);
  void FormShow(fw::TComponent& sender);
  void TimerTimer(fw::TComponent& sender);
  void WMCopyData(const COPYDATASTRUCT* data);
  void OpenFolderFromCommand(const std::string& path);
  // Lists the folder the start timer will open while the window is built.
  void StartEarlyListing();
  void PlaceFileList();
  void ApplyTextureMain(bool resend);
  void RefreshSystemColors();
  void ShowHintInStatusBar(fw::TComponent& sender);
  void ApplyHintOption() override;
  void RepaintPreviewAfterResize(MSG& msg, bool& handled);
  void SetStatusFileText(const std::string& text);

  // Handlers and preview (MainFormHandlers.cpp)
  void UpdateModelPreview(bool rescan) override;
  void UpdateSliderRange() override;
  // Characters of the model the index is placed in (0 when empty).
  int SliderModelLength() const;
  void UpdateAutoFormat(size_t count);
  void UpdateIndexControls();
  void UpdateKeepControls();
  void UpdatePadCharacter();
  void ShowFormatWidth(int width);
  void UpdateDateTimeControls();
  void UpdateAttributeControls();
  void ApplyAttributeOption();
  void ApplyListActive();
  void ApplyAutoOption();
  void ApplyGridOption() override;
  void UpdateScanAttributes() override;
  void SetNameCaseBox(int value);
  void SetExtCaseBox(int value);
  void SetEditColor(fw::TWinControl& edit, bool enabled);

  void EditDirChange(fw::TComponent& sender);
  void EditMaskChange(fw::TComponent& sender);
  void EditFileChange(fw::TComponent& sender);
  void EditExtChange(fw::TComponent& sender);
  void CheckNoFileClick(fw::TComponent& sender);
  void CheckNoExtClick(fw::TComponent& sender);
  void CheckSpFileClick(fw::TComponent& sender);
  void CheckSpExtClick(fw::TComponent& sender);
  void CheckFileCaseClick(fw::TComponent& sender);
  void CheckExtCaseClick(fw::TComponent& sender);
  void EditFormatChange(fw::TComponent& sender);
  void EditCaraChange(fw::TComponent& sender);
  void EditCaraExit(fw::TComponent& sender);
  void EditCaraClick(fw::TComponent& sender);
  void SpinDebutChange(fw::TComponent& sender);
  void CheckFormatClick(fw::TComponent& sender);
  void CheckAucunClick(fw::TComponent& sender);
  void CheckExtClick(fw::TComponent& sender);
  void QxSliderChange(fw::TComponent& sender);
  void QxSliderClick(fw::TComponent& sender);
  void BtnIndice1Click(fw::TComponent& sender);
  void BtnIndice2Click(fw::TComponent& sender);
  void CheckDateOnClick(fw::TComponent& sender);
  void CheckTimeOnClick(fw::TComponent& sender);
  void DateEditChange(fw::TComponent& sender);
  void TimePickerChange(fw::TComponent& sender);
  void CheckAttrOnClick(fw::TComponent& sender);
  void CheckReadClick(fw::TComponent& sender);
  void PopOutListeClick(fw::TComponent& sender);
  void BtnAutoClick(fw::TComponent& sender);
  void QxFolderMonitorChange(fw::TComponent& sender);
  void BtnRefreshClick(fw::TComponent& sender);
  void RichEditEnter(fw::TComponent& sender);
  void RichEditExit(fw::TComponent& sender);
  void ImgScriptFileClick(fw::TComponent& sender);
  void ImgScriptExtClick(fw::TComponent& sender);
  void BtnAideClick(fw::TComponent& sender);
  void BtnAPropClick(fw::TComponent& sender);
  void BtnQuitterClick(fw::TComponent& sender);
  void BtnDirClick(fw::TComponent& sender);
  void BtnOptionsClick(fw::TComponent& sender);
  void BtnRenommerClick(fw::TComponent& sender);
  void BtnSimulerClick(fw::TComponent& sender);

  // Histories and shortcuts (MainFormHistory.cpp)
  void EditFileExit(fw::TComponent& sender);
  void EditExtExit(fw::TComponent& sender);
  void EditFileKeyDown(fw::TComponent& sender, WORD& key, fw::TShiftState shift);
  void EditExtKeyDown(fw::TComponent& sender, WORD& key, fw::TShiftState shift);
  void EditFileKeyPress(fw::TComponent& sender, char& key);
  void EditMaskMouseDown(fw::TComponent& sender, fw::TMouseButton b, fw::TShiftState s, int x, int y);
  void TimePickerKeyDown(fw::TComponent& sender, WORD& key, fw::TShiftState shift);
  void DateEditKeyDown(fw::TComponent& sender, WORD& key, fw::TShiftState shift);
  void FormKeyDown(fw::TComponent& sender, WORD& key, fw::TShiftState shift);
  void AddHistoryEntry(fw::TComboBox& combo, bool script, std::vector<std::string>& names,
                       std::vector<std::string>& scripts, int32_t& idxName, int32_t& idxScript);
  void RemoveHistoryEntry(fw::TComboBox& combo, bool script, std::vector<std::string>& names,
                          std::vector<std::string>& scripts, int32_t& idxName, int32_t& idxScript);
  void SwitchHistory(fw::TComboBox& combo, bool toScript, std::vector<std::string>& names,
                     std::vector<std::string>& scripts, int32_t& idxName, int32_t& idxScript);
  // Shows a history and selects its remembered entry (stored back when it
  // had to fall back to entry 0).
  void FillCombo(fw::TComboBox& combo, const std::vector<std::string>& history, int32_t& index,
                 const std::string& emptyText);
  // The history entry a combo shows: its selected entry, else the one its
  // text equals; -1 for a text in no entry.
  static int32_t ShownEntry(const fw::TComboBox& combo);
  // Selects a remembered entry, entry 0 when it is outside the list.
  void SelectHistoryEntry(fw::TComboBox& combo, int32_t index);
  void OpenHelp();

  std::vector<std::string> m_args;
  engine::win32::TWin32FolderReader m_folderReader;
  engine::win32::TWin32MediaFiles m_mediaFiles;
  std::unique_ptr<engine::TRenameEngine> m_engine;
  std::unique_ptr<TFileListFeed> m_feed;
  std::string FModelText;
  std::string m_helpFile;
  // While the controls are set from the options, their handlers must not
  // write the options back half-way.
  bool m_settingControls = false;
  bool m_closing = false;
  // The start work of the first timer tick is done (a later show must not
  // reopen the folder).
  bool m_startDone = false;
  // Modal dialogs of this window open. Their loops pump this window's
  // messages, so a close now would save what a dialog only previews and
  // free the window under a run or a rescan still to come.
  int m_modalDialogs = 0;
  struct TModalDialogScope {
    explicit TModalDialogScope(int& count) : m_count(count) { ++m_count; }
    ~TModalDialogScope() { --m_count; }
    TModalDialogScope(const TModalDialogScope&) = delete;
    TModalDialogScope& operator=(const TModalDialogScope&) = delete;
    int& m_count;
  };
};

// Scales a design measure for the screen's pixels per inch.
int ScaleForDpiMain(int v);

}  // namespace qv::app
