// The main window's "Renommer" and "Simuler" requests: the checks before a
// run (folder there, list on or switched back on, files listed, models free
// of forbidden characters), each refusal a French message with its sound,
// then the folder monitor paused, the rename or simulation dialog filled
// and shown modally, and the monitor set back to the "Auto" option (after
// a rescan, for the rename). Written against IRunHost, which the main
// window implements; tests use a fake over a real folder.
//
//   void TMainForm::BtnRenommerClick(fw::TComponent&) { RequestRename(*this); }
//
// Tested by tests/app/dialogs/RunRequests_test.cpp and the dialog tests.
#pragma once

#include <windows.h>

#include <string>

#include "app/DialogSupport.h"
#include "engine/FileOps.h"
#include "engine/NameBuilder.h"
#include "engine/ProgramOptions.h"
#include "engine/RunRequest.h"

namespace qv::app {

class IRunHost {
public:
  virtual ~IRunHost() = default;

  // --- The engine's state
  virtual engine::TProgramOptions& Options() = 0;
  virtual engine::TFileListing& Listing() = 0;
  virtual engine::TNameBuilder& Names() = 0;
  // The files the runs touch [the Win32 file system].
  virtual engine::IFileOps& FileOps();
  // The local date and time now [the system clock].
  virtual engine::TDateTime Now();
  // Drops cached media values, so names are built from the files as they
  // are when the run starts.
  virtual void ClearMediaCache() = 0;

  // --- The main window's controls
  // The edit that has the focus stores its text in the options.
  virtual void CommitFocusedEdit() = 0;
  // The model line of the preview (FModelText).
  virtual const std::string& ModelLine() const = 0;
  virtual std::string MaskText() const = 0;
  // The texts of the name, extension and pad-character edits.
  virtual std::string NameModelText() const = 0;
  virtual std::string ExtensionModelText() const = 0;
  virtual std::string PadCharacterText() const = 0;
  // The file list's item count.
  virtual int ListItemCount() const = 0;
  // Switches the file list's detail back on (which rescans).
  virtual void ReactivateList() = 0;
  // Rescans the folder into the list.
  virtual void RefreshFileList() = 0;
  // The folder monitor's Active.
  virtual void SetMonitorActive(bool active) = 0;
  // The edit of a refused model, or the folder edit, gets the focus when
  // it is enabled.
  virtual void FocusModelField(engine::TModelField field) = 0;
  virtual void FocusFolderEdit() = 0;
  // The text of the main window's first status panel [ignored].
  virtual void SetMainStatus(const std::string& text);

  // --- For the dialogs
  virtual TDialogPlacement DialogPlacement() = 0;
  // The texture picture (not handed over).
  virtual HBITMAP TextureSource() = 0;
};

// The two buttons' requests.
void RequestRename(IRunHost& host);
void RequestSimulation(IRunHost& host);

// The checks both requests make, in their order, each refusal shown; true
// when a run may take place.
bool CheckRunRequest(IRunHost& host);

// With the list switched off, offers to switch it on: true when it is on,
// or the user answered Yes and it now is.
bool ConfirmListActive(IRunHost& host);
void ShowFolderMissing(IRunHost& host);
void ShowNoFileFound();
void ShowForbiddenCharMessage(IRunHost& host, engine::TModelField field);

// The folder the request is about: the listing's exact path when it was
// scanned from the "Directory" option, else that option as typed.
std::u16string RequestFolder(IRunHost& host);

}  // namespace qv::app
