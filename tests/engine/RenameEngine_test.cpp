// The engine object as the main window uses it: a scan through the given
// folder reader, then new names from the options.
#include "engine/RenameEngine.h"

#include <gtest/gtest.h>

#include "engine/FolderReader.h"

using namespace qv::engine;

namespace {
class TFakeFolder : public IFolderReader {
public:
  std::vector<TFolderEntry> entries;
  bool ReadFolder(const std::u16string&, const std::function<void(const TFolderEntry&)>& onEntry) override {
    for (const auto& e : entries) onEntry(e);
    return true;
  }
  std::string TypeName(const std::u16string&) override { return "Document texte"; }
};

TFolderEntry Entry(const std::u16string& name) {
  TFolderEntry e;
  e.Name = name;
  e.Attributes = 32;
  return e;
}
}  // namespace

TEST(RenameEngine, ScansAndBuildsNamesFromItsOptions) {
  TFakeFolder folder;
  folder.entries = {Entry(u"b.txt"), Entry(u"a.txt")};
  TStdioMediaFiles media;
  TRenameEngine engine(folder, media);
  engine.Options.NameFile = "Doc_";
  engine.Options.Format = 3;
  engine.Options.Start = 1;
  engine.Options.Position = 4;
  ASSERT_EQ(engine.Listing.ScanFolder("C:\\x", "*.txt", ScanAttributes(engine.Options)), 2u);
  engine.Listing.SortFiles(1, true);
  EXPECT_EQ(engine.Listing.Item(0).FileName, "a.txt");
  EXPECT_EQ(engine.Names().BuildNewName(engine.Listing.Item(0).FileName, 0), "Doc_001.txt");
  EXPECT_EQ(engine.Names().BuildNewName(engine.Listing.Item(1).FileName, 1), "Doc_002.txt");
}
