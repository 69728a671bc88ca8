// File streams by wide name (append, truncate, errors kept) and memory
// streams (growth, gaps, seeks that cannot go before the start).
#include "framework/Streams.h"

#include <gtest/gtest.h>

#include "FwTestSupport.h"

using namespace qv::fw;
using qv::fw::test::TTempDir;

TEST(FileStream, WideNameCreateAppendReadAndTruncate) {
  TTempDir dir;
  const std::wstring path = dir.File(L"\u00C9t\u00E9 \u0101 No\u00EBl.bin");  // not all cp1252
  {
    TFileStream f;
    ASSERT_TRUE(f.Open(path, TFileMode::Create));
    EXPECT_TRUE(f.WriteText("abcdef"));
    EXPECT_EQ(f.Size(), 6);
    EXPECT_EQ(f.Seek(2, TSeekOrigin::Begin), 2);
    char two[2];
    ASSERT_TRUE(f.ReadBuffer(two, 2));
    EXPECT_EQ(std::string(two, 2), "cd");
  }
  {
    TFileStream f;
    ASSERT_TRUE(f.Open(path, TFileMode::Append));
    EXPECT_EQ(f.Position(), 6);
    EXPECT_TRUE(f.WriteText("gh"));
  }
  TFileStream f;
  ASSERT_TRUE(f.Open(path, TFileMode::ReadWrite));
  EXPECT_EQ(f.ReadRest(), "abcdefgh");
  EXPECT_TRUE(f.SetSize(3));
  EXPECT_EQ(f.Position(), 3);
  f.SetPosition(0);
  EXPECT_EQ(f.ReadRest(), "abc");
  char more[4];
  EXPECT_FALSE(f.ReadBuffer(more, 4));  // at the end: a short read is not a whole buffer
}

TEST(FileStream, FailuresKeepTheSystemErrorAndTheStreamClosed) {
  TTempDir dir;
  TFileStream f;
  EXPECT_FALSE(f.Open(dir.File(L"absent.txt"), TFileMode::Read));
  EXPECT_EQ(f.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(f.Open(dir.File(L"absent.txt"), TFileMode::Append));  // append wants an existing file
  EXPECT_FALSE(f.Open(dir.File(L"no\\such\\dir.txt"), TFileMode::Create));
  EXPECT_EQ(f.LastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(f.IsOpen());
  char c;
  EXPECT_EQ(f.Read(&c, 1), 0u);
  EXPECT_EQ(f.Write("x", 1), 0u);
  EXPECT_EQ(f.Seek(0, TSeekOrigin::End), -1);
}

TEST(MemoryStream, GrowsFillsGapsAndRefusesSeeksBeforeTheStart) {
  TMemoryStream m;
  EXPECT_TRUE(m.WriteText("ab"));
  EXPECT_EQ(m.Seek(4, TSeekOrigin::Current), 6);
  EXPECT_TRUE(m.WriteText("z"));
  EXPECT_EQ(m.Bytes(), std::string("ab\0\0\0\0z", 7));
  EXPECT_EQ(m.Seek(-8, TSeekOrigin::End), -1);
  EXPECT_EQ(m.Position(), 7);  // a refused seek moves nothing
  EXPECT_EQ(m.Seek(-1, TSeekOrigin::End), 6);
  EXPECT_EQ(m.ReadRest(), "z");
  EXPECT_EQ(m.Seek(100, TSeekOrigin::Begin), 100);
  char c;
  EXPECT_EQ(m.Read(&c, 1), 0u);
  EXPECT_TRUE(m.SetSize(1));
  EXPECT_EQ(m.Position(), 1);
  EXPECT_EQ(m.Bytes(), "a");
}

TEST(MemoryStream, CopyFromAndFiles) {
  TTempDir dir;
  TMemoryStream src(std::string("0123456789"));
  src.SetPosition(7);
  TMemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(src, 0), 10);  // 0: the whole source from its start
  src.SetPosition(2);
  EXPECT_EQ(dst.CopyFrom(src, 3), 3);
  EXPECT_EQ(dst.CopyFrom(src, 100), 5);  // only what is left
  EXPECT_EQ(dst.Bytes(), "0123456789" "234" "56789");
  ASSERT_TRUE(dst.SaveToFile(dir.File(L"m.bin")));
  TMemoryStream back;
  ASSERT_TRUE(back.LoadFromFile(dir.File(L"m.bin")));
  EXPECT_EQ(back.Bytes(), dst.Bytes());
  EXPECT_EQ(back.Position(), 0);
  EXPECT_FALSE(back.LoadFromFile(dir.File(L"none.bin")));
}
