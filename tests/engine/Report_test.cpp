// Tests of engine/Report.h: buffering, provisional texts, write failures,
// default names and the opening of the report as the rename dialog does it.
#include "engine/Report.h"

#include <gtest/gtest.h>

#include "RunFakes.h"

using namespace qv::engine;
using namespace qv::engine::testing;

namespace {

// Counts writes; fails from the Nth one on.
class CountingFile final : public IOutputFile {
public:
  std::string data;
  int writes = 0, failFrom = 0;
  TFileResult Write(const char* d, size_t n) override {
    ++writes;
    if (failFrom && writes >= failFrom) return TFileResult::Fail(TFileError::DiskFull);
    data.append(d, n);
    return TFileResult::Ok();
  }
  TFileResult CutBack(size_t n) override {
    ++cuts;
    if (failCut || n > data.size()) return TFileResult::Fail(TFileError::AccessDenied);
    data.resize(data.size() - n);
    return TFileResult::Ok();
  }
  TFileResult Close() override { return TFileResult::Ok(); }
  int cuts = 0;
  bool failCut = false;
};

}  // namespace

TEST(ReportWriter, BuffersAndEndsLinesWithCrLf) {
  auto owned = std::make_unique<CountingFile>();
  CountingFile* f = owned.get();
  TReportWriter w(std::move(owned), "r.txt", 64);
  w.Write("a");
  w.Line(" b");
  w.Line();
  EXPECT_EQ(f->writes, 0);
  for (int i = 0; i < 10; ++i) w.Line("0123456789");
  EXPECT_EQ(f->writes, 1);  // once past 64 bytes, not per line
  EXPECT_TRUE(w.Flush());
  EXPECT_EQ(f->data.substr(0, 7), "a b\r\n\r\n");
  EXPECT_EQ(f->data.size(), 7u + 120u);
  EXPECT_TRUE(w.Close());  // the file goes with it
}

TEST(ReportWriter, AFailedWriteIsKept) {
  auto owned = std::make_unique<CountingFile>();
  CountingFile* f = owned.get();
  f->failFrom = 2;
  TReportWriter w(std::move(owned), "C:\\r.txt", 4);
  w.Line("abcd");
  EXPECT_FALSE(w.Failed());
  w.Line("efgh");
  EXPECT_TRUE(w.Failed());
  EXPECT_EQ(w.Error().Error, TFileError::DiskFull);
  w.Line("ijkl");  // dropped
  EXPECT_FALSE(w.Flush());
  EXPECT_FALSE(w.Close());
  EXPECT_EQ(w.Path(), "C:\\r.txt");
}

TEST(ReportWriter, AProvisionalTextLastsUntilTheNextWrite) {
  auto owned = std::make_unique<CountingFile>();
  CountingFile* f = owned.get();
  TReportWriter w(std::move(owned), "r.txt");
  w.Write("a | ");
  EXPECT_TRUE(w.WriteProvisional("[nom provisoire : ~qv0.tmp]"));
  EXPECT_EQ(f->data, "a | [nom provisoire : ~qv0.tmp]");  // on disk, the buffer first
  w.Line("Ok");
  EXPECT_EQ(f->data, "a | ");
  EXPECT_TRUE(w.WriteProvisional("[x]"));
  EXPECT_TRUE(w.Flush());  // so does a flush (and the closing)
  EXPECT_EQ(f->data, "a | Ok\r\n");
  EXPECT_EQ(f->cuts, 2);
  EXPECT_TRUE(w.Close());

  // A file that cannot take it back fails the report.
  owned = std::make_unique<CountingFile>();
  f = owned.get();
  f->failCut = true;
  TReportWriter bad(std::move(owned), "r.txt");
  EXPECT_TRUE(bad.WriteProvisional("[x]"));
  bad.Line("Ok");
  EXPECT_TRUE(bad.Failed());
  EXPECT_EQ(bad.Error().Error, TFileError::AccessDenied);
  EXPECT_EQ(f->data, "[x]");
}

TEST(ReportWriter, DefaultNames) {
  EXPECT_EQ(DefaultReportName("C:\\Photos\\Paris\\"), "Paris.txt");
  EXPECT_EQ(DefaultReportName("C:\\"), "C-.txt");
  EXPECT_EQ(DefaultReportName("C:\\", ""), "C.txt");
  EXPECT_EQ(DefaultReportName("C:", "_"), "C_.txt");
  EXPECT_EQ(DefaultReportName(""), "Rapport.txt");
  EXPECT_EQ(DefaultReportName("\\\\"), "Rapport.txt");
  EXPECT_EQ(ReportPath("C:\\Docs\\Rapports\\\\", "Paris.txt"), "C:\\Docs\\Rapports\\Paris.txt");
}

TEST(ReportWriter, OpeningCreatesTheFolderThenReplacesOrAppends) {
  TFakeDisk disk;
  TReportOpenResult r = OpenReport(disk, "C:\\Docs\\Quorvant Pro\\Rapports\\", "P.txt", TOpenMode::Replace);
  ASSERT_EQ(r.Status, TReportOpen::Ok);
  EXPECT_EQ(r.Path, "C:\\Docs\\Quorvant Pro\\Rapports\\P.txt");
  r.Writer->Line("one");
  ASSERT_TRUE(r.Writer->Close());
  r = OpenReport(disk, "C:\\Docs\\Quorvant Pro\\Rapports", "P.txt", TOpenMode::Append);
  r.Writer->Line("two");
  r.Writer.reset();
  EXPECT_EQ(disk.Content(u"C:\\Docs\\Quorvant Pro\\Rapports\\P.txt"), "one\r\ntwo\r\n");
  // Appending to a missing report creates it.
  r = OpenReport(disk, "C:\\Docs", "new.txt", TOpenMode::Append);
  EXPECT_EQ(r.Status, TReportOpen::Ok);
  r = OpenReport(disk, "C:\\Docs", "new.txt", TOpenMode::Replace);
  EXPECT_EQ(r.Status, TReportOpen::Ok);
}

TEST(ReportWriter, FoldersAndFilesThatCannotBeMade) {
  TFakeDisk disk;
  disk.AddFile(u"C:\\file", "x");
  TReportOpenResult r = OpenReport(disk, "C:\\file\\Rapports", "P.txt", TOpenMode::Replace);
  EXPECT_EQ(r.Status, TReportOpen::FolderFailed);
  EXPECT_FALSE(r.Writer);
  disk.AddFolder(u"C:\\locked");
  disk.Find(u"C:\\locked")->noCreate = true;
  r = OpenReport(disk, "C:\\locked", "P.txt", TOpenMode::Replace);
  EXPECT_EQ(r.Status, TReportOpen::OpenFailed);
  EXPECT_EQ(r.Error.Error, TFileError::AccessDenied);
  disk.AddFolder(u"C:\\D");
  disk.AddFolder(u"C:\\D\\P.txt");  // a folder of the report's name
  r = OpenReport(disk, "C:\\D", "P.txt", TOpenMode::Append);
  EXPECT_EQ(r.Status, TReportOpen::OpenFailed);
}
