// The file list fed from real folders in a shown test window: refresh and
// status texts, the cells of every column (new names built on demand),
// sorting on real header clicks, the column that does not sort, icons of the
// shown rows only, and a screenshot of a few hundred files.
#include "app/FileListFeed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "engine/Collation.h"
#include "engine/ScriptInterpreter.h"
#include "engine/win32/Win32FolderReader.h"
#include "tests/common/ListViewHost.h"

using namespace qv;
using namespace qv::controls;
using namespace qv::test;

namespace {

void SetTimes(const std::filesystem::path& p, int day) {
  HANDLE h = CreateFileW(p.wstring().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  SYSTEMTIME st{};
  st.wYear = 2020;
  st.wMonth = 1 + static_cast<WORD>(day % 12);
  st.wDay = 1 + static_cast<WORD>(day % 28);
  st.wHour = 12;
  FILETIME modified, created, accessed;
  SystemTimeToFileTime(&st, &modified);
  st.wYear = 2019;
  st.wMonth = 12 - static_cast<WORD>(day % 12);
  SystemTimeToFileTime(&st, &created);
  st.wYear = 2021;
  st.wMinute = static_cast<WORD>(day % 60);
  SystemTimeToFileTime(&st, &accessed);
  SetFileTime(h, &created, &accessed, &modified);
  CloseHandle(h);
}

// The main window's file list, as its layout makes it.
void MakeFileList(TQsExtListView& lv) {
  using fw::TAlignment;
  lv.AddColumn("Nom originel", 120);
  lv.AddColumn("Nouveau nom", 120);
  lv.AddColumn("Taille", 65, TAlignment::RightJustify);
  lv.AddColumn("Créé", 110);
  lv.AddColumn("Modifié", 110);
  lv.AddColumn("Accédé", 110);
  lv.AddColumn("Attr", 35);
  lv.AddColumn("Type", 150);
  lv.SetVirtualMode(true);
  lv.SetReadOnly(true);
  lv.SetAutoColumnSort(acsSortToggle);
  lv.SetShowSortArrows(true);
  lv.SetExtendedStyles({lvxFullRowSelect, lvxHeaderDragDrop, lvxInfoTip});
}

class FileListFeedTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = std::make_unique<TTempDir>();
    dir = folder->Path() / L"\u00C9t\u00E9 2024";
    std::filesystem::create_directory(dir);
    listing.SetFolderReader(&reader);
    listing.SetTimeZone(engine::win32::SystemTimeZone());
    options.Directory = AnsiPath(dir);
  }
  void TearDown() override {
    feed.reset();
    host.reset();
  }
  void Open(int width = 900, int height = 400, bool imageLists = true) {
    host = std::make_unique<THostedList<TQsExtListView>>(MakeFileList, width, height);
    feed = std::make_unique<app::TFileListFeed>(
        *host->list, options, listing, names, [this](const std::string& t) { status.push_back(t); },
        [this](bool on, const std::string& f) { monitor.emplace_back(on, f); });
    feed->SetThousandSeparator(" ");
    feed->Beep = [this] { ++beeps; };
    if (imageLists) feed->SetupSystemImageLists();
    feed->Attach();
  }
  std::filesystem::path Make(const std::wstring& name, size_t size, int day) {
    const auto p = dir / name;
    std::ofstream(p, std::ios::binary) << std::string(size, 'x');
    SetTimes(p, day);
    return p;
  }
  void MakeFive() {
    Make(L"a.txt", 0, 3);
    Make(L"B.jpg", 1, 1);
    Make(L"c.doc", 1024, 7);
    Make(L"d.bin", 1025, 5);
    const auto e = Make(L"No\u00EBl.txt", 5000, 2);
    SetFileAttributesW(e.wstring().c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
  }
  HWND List() const { return host->Handle(); }
  std::string Cell(int row, int column) const { return ListText(List(), row, column); }

  std::unique_ptr<TTempDir> folder;
  std::filesystem::path dir;
  engine::TProgramOptions options;
  engine::TFileListing listing;
  engine::win32::TWin32FolderReader reader;
  engine::TScriptInterpreter interpreter{options, listing};
  engine::TNameBuilder names{options, interpreter};
  std::unique_ptr<THostedList<TQsExtListView>> host;
  std::unique_ptr<app::TFileListFeed> feed;
  std::vector<std::string> status;
  std::vector<std::pair<bool, std::string>> monitor;
  int beeps = 0;
};

}  // namespace

TEST_F(FileListFeedTest, RefreshListsTheFolderAndWritesTheStatus) {
  MakeFive();
  Open();
  options.Auto = true;
  feed->RefreshFileList();
  EXPECT_EQ(feed->FileCount(), 5u);
  EXPECT_EQ(host->list->ItemCount(), 5);
  ASSERT_FALSE(status.empty());
  EXPECT_EQ(status.back(), " 5 fichiers dans 7 050 octets");
  // The monitor is off for the scan and back to "Auto" after it.
  ASSERT_EQ(monitor.size(), 2u);
  EXPECT_EQ(monitor[0], std::make_pair(false, options.Directory));
  EXPECT_EQ(monitor[1], std::make_pair(true, options.Directory));
  EXPECT_EQ(Cell(0, 0), "a.txt");
  EXPECT_EQ(Cell(4, 0), "No\xEBl.txt");
}

TEST_F(FileListFeedTest, EmptyGoneAndSwitchedOffLists) {
  Open();
  feed->RefreshFileList();
  EXPECT_EQ(status.back(), " 0 fichier dans 0 octet");
  Make(L"one.txt", 1, 1);
  feed->RefreshFileList();
  EXPECT_EQ(status.back(), " 1 fichier dans 1 octet");
  EXPECT_EQ(host->list->ItemCount(), 1);

  monitor.clear();
  options.Directory += "\\disparu";
  feed->RefreshFileList();
  EXPECT_EQ(status.back(), " 0 fichier dans 0 octet");
  EXPECT_EQ(host->list->ItemCount(), 0);
  EXPECT_EQ(listing.Count(), 0u);
  EXPECT_TRUE(monitor.empty());

  options.Directory = AnsiPath(dir);
  options.ActiveListe = false;
  feed->RefreshFileList();
  EXPECT_EQ(status.back(), " Liste d\xE9sactiv\xE9" "e");
  EXPECT_EQ(host->list->ItemCount(), 0);

  // Before the window is first shown nothing happens.
  options.ActiveListe = true;
  feed->WindowShown = [] { return false; };
  const size_t before = status.size();
  feed->RefreshFileList();
  EXPECT_EQ(status.size(), before);
  EXPECT_EQ(host->list->ItemCount(), 0);
}

// The main window leaves the shell's image lists to the first scan, so
// they cost nothing before it is shown.
TEST_F(FileListFeedTest, TheFirstScanTakesTheSystemImageLists) {
  Make(L"a.txt", 1, 1);
  Open(900, 400, false);
  EXPECT_EQ(ListView_GetImageList(List(), LVSIL_SMALL), nullptr);
  options.ActiveListe = false;
  feed->RefreshFileList();
  EXPECT_EQ(ListView_GetImageList(List(), LVSIL_SMALL), nullptr);
  options.ActiveListe = true;
  feed->RefreshFileList();
  SHFILEINFOA sfi{};
  const auto small =
      reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  const auto large = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &sfi, sizeof sfi, SHGFI_SYSICONINDEX));
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(ListView_GetImageList(List(), LVSIL_SMALL), small);
  EXPECT_EQ(ListView_GetImageList(List(), LVSIL_NORMAL), large);
  EXPECT_EQ(host->list->ItemCount(), 1);
}

TEST_F(FileListFeedTest, CellsShowEveryColumn) {
  MakeFive();
  Open();
  feed->RefreshFileList();
  const std::vector<std::string> sizes{"0 Ko", "1 Ko", "1 Ko", "2 Ko", "5 Ko"};
  for (int r = 0; r < 5; ++r) {
    const engine::TFileObject& f = listing.Item(static_cast<size_t>(r));
    EXPECT_EQ(Cell(r, 2), sizes[static_cast<size_t>(r)]);
    EXPECT_EQ(Cell(r, 3), engine::FormatDateTime("dd/mm/yyyy hh:nn:ss", f.Created));
    EXPECT_EQ(Cell(r, 4), engine::FormatDateTime("dd/mm/yyyy hh:nn:ss", f.Modified));
    EXPECT_EQ(Cell(r, 5), engine::FormatDateTime("dd/mm/yyyy hh:nn:ss", f.Accessed));
    EXPECT_EQ(Cell(r, 6), std::to_string(f.Attributes));
    EXPECT_EQ(Cell(r, 7), f.TypeName);
  }
  EXPECT_EQ(Cell(2, 4).substr(0, 10), "08/08/2020");  // c.doc, written on day 7
  EXPECT_EQ(Cell(4, 6), std::to_string(1 | 32));    // read-only and archive
  options.ModelDate = "yyyy-mm-dd";
  EXPECT_EQ(Cell(2, 4), "2020-08-08");
  EXPECT_EQ(Cell(0, 1), "SansNom_00.txt");
  EXPECT_EQ(Cell(3, 1), "SansNom_03.bin");
  EXPECT_EQ(feed->FormatSize(INT64_C(1536) * 1024 * 1024), "1 572 864 Ko");
  EXPECT_EQ(feed->StatusText(100000, 123456789), " 100000 fichiers dans 123 456 789 octets");
}

TEST_F(FileListFeedTest, SizesGroupEveryThreeDigitsWithTheLocaleSeparator) {
  Open();
  feed.reset();
  feed = std::make_unique<app::TFileListFeed>(*host->list, options, listing, names, nullptr, nullptr);
  // 1 572 864 Ko: the digits are grouped by the program, every three of them
  // (Wine's own number formatting would group them once).
  const std::string text = feed->FormatSize(INT64_C(1536) * 1024 * 1024);
  ASSERT_GT(text.size(), 10u);
  const std::string sep = text.substr(1, text.size() - 10 - 1);  // between "1" and "572"
  EXPECT_FALSE(sep.empty());
  EXPECT_EQ(text, "1" + sep + "572" + sep + "864 Ko");
  EXPECT_EQ(text.find('?'), std::string::npos);
}

TEST_F(FileListFeedTest, NewNamesAreBuiltWhenTheirRowsAreShown) {
  for (int i = 0; i < 300; ++i) Make(L"f" + std::to_wstring(1000 + i) + L".txt", 10, i);
  Open();
  feed->RefreshFileList();
  PaintNow(List());
  EXPECT_EQ(listing.Item(0).NewName, "SansNom_00.txt");
  EXPECT_EQ(listing.Item(299).NewName, "f1299.txt");  // not shown yet: still as scanned
  EXPECT_EQ(Cell(299, 1), "SansNom_299.txt");
  EXPECT_EQ(listing.Item(299).NewName, "SansNom_299.txt");
  // Every repaint builds them afresh from the options.
  options.NameFile = "Vacances";
  PaintNow(List());
  EXPECT_EQ(listing.Item(1).NewName, "Vacances01.txt");
}

TEST_F(FileListFeedTest, HeaderClicksSortEverySortableColumnBothWays) {
  MakeFive();
  Open();
  feed->RefreshFileList();
  auto ordered = [&](int column, bool asc) {
    for (size_t i = 0; i + 1 < listing.Count(); ++i) {
      const engine::TFileObject& a = listing.Item(i);
      const engine::TFileObject& b = listing.Item(i + 1);
      double c = 0;
      switch (column) {
        case 0: c = engine::CompareTextCollated(a.FileName, b.FileName); break;
        case 2: c = static_cast<double>(a.Size - b.Size); break;
        case 3: c = a.Created - b.Created; break;
        case 4: c = a.Modified - b.Modified; break;
        case 5: c = a.Accessed - b.Accessed; break;
        case 6: c = static_cast<double>(a.Attributes) - b.Attributes; break;
        default: c = engine::CompareTextCollated(a.TypeName, b.TypeName); break;
      }
      if (asc ? c > 0 : c < 0) return false;
      if (Cell(static_cast<int>(i), 0) != a.FileName) return false;  // the list shows the listing's order
    }
    return true;
  };
  for (int column : {0, 2, 3, 4, 5, 6, 7}) {
    ClickHeader(List(), column);
    const bool firstAsc = !(column == 0);  // the names were sorted ascending already
    EXPECT_EQ(feed->SortColumn(), column);
    EXPECT_EQ(feed->SortAscending(), firstAsc) << column;
    EXPECT_TRUE(ordered(column, firstAsc)) << column;
    EXPECT_EQ(host->list->SortColumn(), column);
    EXPECT_EQ(host->list->SortAscending(), firstAsc);
    ClickHeader(List(), column);
    EXPECT_EQ(feed->SortAscending(), !firstAsc) << column;
    EXPECT_TRUE(ordered(column, !firstAsc)) << column;
  }
  // Sizes: ascending on the first click, descending on the second.
  ClickHeader(List(), 2);
  EXPECT_EQ(Cell(0, 2), "0 Ko");
  ClickHeader(List(), 2);
  EXPECT_EQ(Cell(0, 2), "5 Ko");
  EXPECT_EQ(beeps, 0);
}

TEST_F(FileListFeedTest, TheNewNameColumnBeepsAndKeepsTheOrderAndTheArrow) {
  MakeFive();
  Open();
  feed->RefreshFileList();
  ClickHeader(List(), 2);
  ClickHeader(List(), 2);  // sizes, descending
  std::vector<std::string> before;
  for (int r = 0; r < 5; ++r) before.push_back(Cell(r, 0));
  ClickHeader(List(), 1);
  EXPECT_EQ(beeps, 1);
  for (int r = 0; r < 5; ++r) EXPECT_EQ(Cell(r, 0), before[static_cast<size_t>(r)]);
  EXPECT_EQ(host->list->SortColumn(), 2);
  EXPECT_FALSE(host->list->SortAscending());
  // The next click on the sorted column still flips it.
  ClickHeader(List(), 2);
  EXPECT_TRUE(feed->SortAscending());
  EXPECT_EQ(Cell(0, 2), "0 Ko");
  // A saved sort on that column starts with the names, silently.
  host->list->SetSortColumn(1);
  feed->RestoreSavedSort();
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(feed->SortColumn(), 0);
  EXPECT_EQ(host->list->SortColumn(), 0);
}

TEST_F(FileListFeedTest, IconsAreFetchedForTheShownRowsOnly) {
  for (int i = 0; i < 300; ++i) Make(L"g" + std::to_wstring(1000 + i) + (i % 2 ? L".txt" : L".jpg"), 1, i);
  Open();
  std::vector<std::u16string> asked;
  feed->IconIndex = [&](const std::u16string& path) {
    asked.push_back(path);
    return 3;
  };
  feed->RefreshFileList();
  PaintNow(List());
  const int perPage = static_cast<int>(SendMessageA(List(), LVM_GETCOUNTPERPAGE, 0, 0));
  EXPECT_GT(asked.size(), 0u);
  EXPECT_LE(asked.size(), static_cast<size_t>(perPage + 2));
  EXPECT_EQ(listing.Item(0).ImageIndex, 3);
  EXPECT_EQ(listing.Item(299).ImageIndex, -1);
  EXPECT_EQ(asked[0].substr(asked[0].size() - 10), u"\\g1000.jpg");
  // Fetched once: painting again asks nothing more.
  const size_t once = asked.size();
  PaintNow(List());
  EXPECT_EQ(asked.size(), once);
  SendMessageA(List(), LVM_ENSUREVISIBLE, 299, FALSE);
  PaintNow(List());
  EXPECT_EQ(listing.Item(299).ImageIndex, 3);
}

TEST_F(FileListFeedTest, DetachEmptiesTheListBeforeTheListingGoes) {
  MakeFive();
  Open();
  feed->RefreshFileList();
  feed->Detach();
  EXPECT_EQ(host->list->ItemCount(), 0);
  EXPECT_FALSE(host->list->OnVMGetItemInfo);
  PaintNow(List());
}

TEST_F(FileListFeedTest, ScreenshotOfAFewHundredFiles) {
  const wchar_t* kinds[] = {L".jpg", L".txt", L".mp3", L".doc", L".zip", L".png", L".pdf", L".nef"};
  const wchar_t* stems[] = {L"Vacances", L"R\u00E9union", L"No\u00EBl", L"Facture", L"IMG_", L"Piste"};
  for (int i = 0; i < 320; ++i)
    Make(std::wstring(stems[i % 6]) + L" " + std::to_wstring(2000 + i * 7 % 311) + kinds[i % 8],
         static_cast<size_t>((i * 7919) % 300000), i);
  options.NameFile = "Photo_";
  options.Format = 3;
  Open(960, 560);
  feed->RefreshFileList();
  ClickHeader(List(), 2);
  ClickHeader(List(), 2);  // largest first, arrow down on "Taille"
  host->list->SelectItem(2);
  host->list->SetFocus();
  PaintNow(List());
  PaintNow(host->list->HeaderHandle());
  Pump();
  EXPECT_EQ(status.back().substr(0, 17), " 320 fichiers dan");
  const auto shot = SaveScreenshot("listfeed_320_files");
  EXPECT_TRUE(std::filesystem::exists(shot));
}
