// The photo reader's path entries under Windows: every file is opened by its
// UTF-16 name through the wide-name stream, shared with writers, so a photo
// open in an editor is still read. An 8-bit path is cp1252, the program's
// code page, turned into UTF-16 first. Windows only.
//
//   TimgData reader;
//   reader.Paths = &kCp1252Paths;          // 8-bit entries by UTF-16 name
//   LoadImageMetadata(reader, L"C:\\Photos\\\u6771\u4EAC.jpg");
//
// Tested by tests/media/win32/ImgDataFile_test.cpp.
#pragma once

#include <string>

#include "media/ByteSource.h"
#include "media/ImgData.h"
#include "media/IptcData.h"

namespace qv::media {

// The opener of TimgData::Paths for cp1252 paths.
extern const TPathOpener kCp1252Paths;

// TimgData::LoadImageMetadata and TIPTCdata::ReadIptcFile for a file named
// by its UTF-16 path.
bool LoadImageMetadata(TimgData& reader, const std::wstring& path);
bool ReadIptcFile(TIPTCdata& iptc, const std::wstring& path);

}  // namespace qv::media
