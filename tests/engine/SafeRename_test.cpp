// Tests of engine/SafeRename.h on the fake disk: renames are checked on
// disk, case-only renames go through a temporary name (Wine's MoveFile
// does nothing for them), and each failing step leaves the file where it
// can be found.
#include "engine/SafeRename.h"

#include <gtest/gtest.h>

#include "RunFakes.h"

using namespace qv::engine;
using namespace qv::engine::testing;

namespace {

class SafeRename : public ::testing::Test {
protected:
  SafeRename() {
    disk.AddFolder(kDir);
    disk.AddFile(JoinPath(kDir, u"photo.jpg"), "P");
  }
  TRenameOutcome Go(const std::u16string& from, const std::u16string& to) {
    return RenameVerified(disk, kDir, from, to);
  }
  std::map<std::u16string, std::string> Files() const { return disk.Files(kDir); }
  static constexpr char16_t kDir[] = u"C:\\D";
  TFakeDisk disk;
};

using Map = std::map<std::u16string, std::string>;

}  // namespace

TEST_F(SafeRename, PlainAndIdentical) {
  EXPECT_TRUE(Go(u"photo.jpg", u"image.jpg").ok());
  EXPECT_EQ(Files(), (Map{{u"image.jpg", "P"}}));
  EXPECT_TRUE(Go(u"image.jpg", u"image.jpg").ok());
  EXPECT_EQ(disk.renames, 1);
  EXPECT_EQ(Go(u"absent.jpg", u"absent.jpg").Result.Error, TFileError::NotFound);
  EXPECT_EQ(Go(u"absent.jpg", u"x.jpg").Result.Error, TFileError::NotFound);
}

TEST_F(SafeRename, NeverReplaces) {
  disk.AddFile(JoinPath(kDir, u"IMAGE.JPG"), "I");
  EXPECT_EQ(Go(u"photo.jpg", u"image.jpg").Result.Error, TFileError::Exists);
  EXPECT_EQ(Files(), (Map{{u"IMAGE.JPG", "I"}, {u"photo.jpg", "P"}}));
}

TEST_F(SafeRename, CaseOnlyUnderWine) {
  disk.caseOnlyRenameIsNoOp = true;
  // What the bare call does: success, and nothing changes.
  ASSERT_TRUE(disk.Rename(JoinPath(kDir, u"photo.jpg"), JoinPath(kDir, u"Photo.JPG")).ok());
  EXPECT_EQ(Files(), (Map{{u"photo.jpg", "P"}}));
  const TRenameOutcome r = Go(u"photo.jpg", u"Photo.JPG");
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(Files(), (Map{{u"Photo.JPG", "P"}}));
  // Accented capitals are case pairs too.
  disk.AddFile(JoinPath(kDir, u"\u00E9t\u00E9.txt"), "E");
  EXPECT_TRUE(Go(u"\u00E9t\u00E9.txt", u"\u00C9T\u00C9.txt").ok());
  EXPECT_EQ(Files().count(u"\u00C9T\u00C9.txt"), 1u);
}

TEST_F(SafeRename, TemporaryNameAvoidsExistingEntries) {
  disk.AddFile(JoinPath(kDir, u"~qv0.tmp"), "T");
  EXPECT_EQ(UniqueTemporaryName(disk, kDir), u"~qv1.tmp");
  EXPECT_TRUE(Go(u"photo.jpg", u"PHOTO.jpg").ok());
  EXPECT_EQ(Files(), (Map{{u"PHOTO.jpg", "P"}, {u"~qv0.tmp", "T"}}));
}

TEST_F(SafeRename, ARenameThatSaysYesAndDoesNothingIsAFailure) {
  disk.fault = TFakeDisk::TFault::Lie;
  disk.failAt = 1;
  EXPECT_EQ(Go(u"photo.jpg", u"image.jpg").Result.Error, TFileError::NotVerified);
  EXPECT_EQ(Files(), (Map{{u"photo.jpg", "P"}}));
  // Case only, the second step lies: back to the old name.
  disk.operations = 0;
  disk.failAt = 2;
  EXPECT_EQ(Go(u"photo.jpg", u"PHOTO.JPG").Result.Error, TFileError::NotVerified);
  EXPECT_EQ(Files(), (Map{{u"photo.jpg", "P"}}));
}

TEST_F(SafeRename, CaseOnlyStepsThatFail) {
  // First step fails: nothing moved.
  disk.failAt = 1;
  EXPECT_EQ(Go(u"photo.jpg", u"PHOTO.JPG").Result.Error, TFileError::AccessDenied);
  EXPECT_EQ(Files(), (Map{{u"photo.jpg", "P"}}));
  // Second step fails once: back to the old name, reported as a failure.
  disk.operations = 0;
  disk.failAt = 2;
  TRenameOutcome r = Go(u"photo.jpg", u"PHOTO.JPG");
  EXPECT_EQ(r.Result.Error, TFileError::AccessDenied);
  EXPECT_TRUE(r.LeftAt.empty());
  EXPECT_EQ(Files(), (Map{{u"photo.jpg", "P"}}));
  // Second step and the way back fail: the file is under the temporary
  // name, and the outcome says which.
  disk.operations = 0;
  disk.persistent = true;
  r = Go(u"photo.jpg", u"PHOTO.JPG");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.LeftAt, u"~qv0.tmp");
  EXPECT_EQ(Files(), (Map{{u"~qv0.tmp", "P"}}));
}
