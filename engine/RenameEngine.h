// TRenameEngine: the one engine object the main window owns. It holds the
// option settings, the history lists, the folder's file listing, the media
// and expression values of scripts, the script interpreter and the name
// builder, wired together; the system side (folder scans, media file access)
// is given by the caller. Tested through tests/engine/RenameEngine_test.cpp.
#pragma once

#include "engine/FileObject.h"
#include "engine/FolderReader.h"
#include "engine/MediaFiles.h"
#include "engine/MediaScriptValues.h"
#include "engine/NameBuilder.h"
#include "engine/ProgramOptions.h"
#include "engine/ScriptInterpreter.h"

namespace qv::engine {

class TRenameEngine {
public:
  TRenameEngine(IFolderReader& folders, IMediaFiles& media)
      : m_values(Options, Listing, media), m_interpreter(Options, Listing, &m_values), m_names(Options, m_interpreter) {
    Listing.SetFolderReader(&folders);
  }
  TRenameEngine(const TRenameEngine&) = delete;
  TRenameEngine& operator=(const TRenameEngine&) = delete;

  TProgramOptions Options;
  THistoryLists Histories;
  TFileListing Listing;

  TMediaScriptValues& Values() { return m_values; }
  TScriptInterpreter& Interpreter() { return m_interpreter; }
  TNameBuilder& Names() { return m_names; }

private:
  TMediaScriptValues m_values;
  TScriptInterpreter m_interpreter;
  TNameBuilder m_names;
};

}  // namespace qv::engine
