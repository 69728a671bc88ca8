// Byte streams: the abstract TStream (read, write, seek, copy), TFileStream
// over a file opened by its exact UTF-16 name, and TMemoryStream (a growable
// buffer). Errors are values: Open returns false and keeps GetLastError's
// code; Read and Write return the bytes moved; ReadBuffer/WriteBuffer say
// whether the whole count moved. Streams are not thread-safe.
// Example:  TFileStream f; if (f.Open(L"C:\\x.txt", TFileMode::Create)) f.WriteText("abc");
// Tested by tests/framework/Streams_test.cpp.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv::fw {

enum class TSeekOrigin { Begin, Current, End };

class TStream {
public:
  TStream() = default;
  virtual ~TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // --- Overridable primitives
  // Bytes actually read (0 at the end or on failure).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Bytes actually written (fewer on failure, e.g. a full disk).
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // The new position, or -1 when the target is before the start or the
  // stream cannot seek.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();
  // Truncates or extends; false when the stream cannot.
  virtual bool SetSize(int64_t size) = 0;

  // --- Helpers
  int64_t Position() { return Seek(0, TSeekOrigin::Current); }
  bool SetPosition(int64_t p) { return Seek(p, TSeekOrigin::Begin) == p; }
  bool ReadBuffer(void* buffer, size_t count) { return Read(buffer, count) == count; }
  bool WriteBuffer(const void* buffer, size_t count) { return Write(buffer, count) == count; }
  bool WriteText(const std::string& s) { return WriteBuffer(s.data(), s.size()); }
  // Reads everything from the position to the end.
  std::string ReadRest();
  // Copies count bytes from source's position; count 0 copies the whole
  // source from its start. Returns the bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

enum class TFileMode {
  Read,       // existing file, read only (others may read and write)
  ReadWrite,  // existing file, read and write
  Create,     // created or truncated, read and write
  Append,     // existing file, written at its end
};

class TFileStream : public TStream {
public:
  TFileStream() = default;
  ~TFileStream() override;

  // Opens the file; false on failure (LastError() then tells why). A stream
  // already open is closed first.
  bool Open(const std::wstring& path, TFileMode mode);
  void Close();
  bool IsOpen() const { return m_file != INVALID_HANDLE_VALUE; }
  const std::wstring& Path() const { return m_path; }
  DWORD LastError() const { return m_lastError; }
  HANDLE Handle() const { return m_file; }
  // Writes the system's buffers to disk.
  bool Flush();

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  bool SetSize(int64_t size) override;

private:
  HANDLE m_file = INVALID_HANDLE_VALUE;
  std::wstring m_path;
  DWORD m_lastError = 0;
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : m_data(std::move(bytes)) {}

  const char* Memory() const { return m_data.data(); }
  const std::string& Bytes() const { return m_data; }
  void Clear();
  // Replaces the content with the whole of source (from its start), or
  // with a file's bytes; the position returns to 0.
  bool LoadFromStream(TStream& source);
  bool LoadFromFile(const std::wstring& path);
  bool SaveToStream(TStream& target) const { return target.WriteBuffer(m_data.data(), m_data.size()); }
  bool SaveToFile(const std::wstring& path) const;

  size_t Read(void* buffer, size_t count) override;
  // Writing past the end grows the stream (a gap left by a seek is zeros).
  size_t Write(const void* buffer, size_t count) override;
  // Seeking past the end is allowed; reads there return nothing.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(m_data.size()); }
  bool SetSize(int64_t size) override;

private:
  std::string m_data;
  int64_t m_position = 0;
};

}  // namespace qv::fw
