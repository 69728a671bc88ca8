// TQwFileStream: a file stream opened by a UTF-16 name, so files whose names
// do not fit the ANSI code page open too; THandleStream under it reads,
// writes, seeks and sizes through a Win32 handle with 64-bit positions.
// Failures raise EFOpenError / EFCreateError with a French message naming
// the full path and the system's reason. Windows only.
//
//   TQwFileStream f(L"C:\\Musique\\\u00E9t\u00E9.mp3", fmOpenRead | fmShareDenyWrite);
//   f.Read(buf, 10);
//
// Tested by tests/media/win32/QwFileStream_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace qv::media {

// Open modes: access in bits 0-1, sharing in bits 4-7; fmCreate creates or
// truncates the file for reading and writing, shared with nobody.
constexpr uint32_t fmCreate = 0xFFFF;
constexpr uint32_t fmOpenRead = 0x00, fmOpenWrite = 0x01, fmOpenReadWrite = 0x02;
constexpr uint32_t fmShareExclusive = 0x10, fmShareDenyWrite = 0x20, fmShareDenyRead = 0x30,
                   fmShareDenyNone = 0x40;

// Stream errors; what() is the message in cp1252.
class EFileStreamError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};
class EFOpenError : public EFileStreamError {
public:
  using EFileStreamError::EFileStreamError;
};
class EFCreateError : public EFileStreamError {
public:
  using EFileStreamError::EFileStreamError;
};

enum class SeekOrigin { Begin, Current, End };

// A stream over a handle it is given; it does not close it.
class THandleStream {
public:
  explicit THandleStream(void* handle) : m_handle(handle) {}
  virtual ~THandleStream() = default;
  THandleStream(const THandleStream&) = delete;
  THandleStream& operator=(const THandleStream&) = delete;

  void* Handle() const { return m_handle; }
  // Bytes moved (0 at the end or on failure).
  size_t Read(void* buffer, size_t count);
  size_t Write(const void* buffer, size_t count);
  // The new position, or -1 on failure.
  int64_t Seek(int64_t offset, SeekOrigin origin);
  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  // The file's size, or -1 on failure.
  int64_t Size() const;

protected:
  void* m_handle;
};

class TQwFileStream final : public THandleStream {
public:
  TQwFileStream(const std::wstring& name, uint32_t mode);
  ~TQwFileStream() override;
};

// Copies at most n characters of src to dest, stopping at a zero character;
// dest (room for n + 1) always ends with one. Returns dest.
wchar_t* WideStrLCopy(wchar_t* dest, const wchar_t* src, size_t n);
// The first c in the zero-ended text, or nullptr; a zero c finds the end.
const wchar_t* WideStrScan(const wchar_t* text, wchar_t c);

// The full path of a name (any length); the name itself when that fails.
std::wstring WideFullPathName(const std::wstring& name);

// The system's message text for an error code, trimmed; "Unspecified error
// (<code>) from system." when the system has none.
std::wstring WideSysErrorText(unsigned long code);

}  // namespace qv::media
