// The picture-format registry and TPicture with a picture class of the
// test's own: lookups by each key, files by extension, stored data by class
// name, unknown formats, and a class whose reading fails.
#include "framework/Picture.h"

#include <gtest/gtest.h>

#include <fstream>

#include "framework/Exception.h"

using namespace qv::fw;

namespace {

// Reads "WxH" and fails on anything else.
class TTextPicture : public TGraphic {
public:
  void LoadFromStream(TStream& stream) override { Parse(stream.ReadRest()); }
  void ReadData(TStream& stream) override { Parse(stream.ReadRest()); }
  void Draw(TCanvas&, const TRect&) override {}
  int Width() const override { return m_w; }
  int Height() const override { return m_h; }
  bool Empty() const override { return m_w == 0; }

private:
  void Parse(const std::string& s) {
    if (std::sscanf(s.c_str(), "%dx%d", &m_w, &m_h) != 2) throw EQvError("Image texte incorrecte");
  }
  int m_w = 0, m_h = 0;
};

TPictureFormat TextFormat() {
  TPictureFormat f;
  f.Extension = "txp";
  f.Description = "Image texte";
  f.ClipboardFormat = RegisterClipboardFormatA("Image texte de test");
  f.ResourceType = "TXP";
  f.ClassName = "TTextPicture";
  f.Create = [] { return std::make_unique<TTextPicture>(); };
  return f;
}

std::wstring WriteTemp(const std::wstring& name, const std::string& bytes) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring path = std::wstring(dir) + name;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  WriteFile(h, bytes.data(), DWORD(bytes.size()), &n, nullptr);
  CloseHandle(h);
  return path;
}

}  // namespace

TEST(Picture, FormatsAreFoundByEveryKeyAndReplacedByClassName) {
  RegisterPictureFormat(TextFormat());
  const TPictureFormat* f = PictureFormatByExtension("TXP");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Description, "Image texte");
  EXPECT_EQ(PictureFormatByResourceType("txp"), f);
  EXPECT_EQ(PictureFormatByClassName("TTextPicture"), f);
  EXPECT_EQ(PictureFormatByClipboardFormat(f->ClipboardFormat), f);
  EXPECT_EQ(PictureFormatByExtension(""), nullptr);
  EXPECT_EQ(PictureFormatByClipboardFormat(0), nullptr);

  TPictureFormat again = TextFormat();
  again.Description = "Autre";
  RegisterPictureFormat(again);
  size_t count = 0;
  for (const TPictureFormat& each : PictureFormats()) count += each.ClassName == "TTextPicture";
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(PictureFormatByExtension("txp")->Description, "Autre");
  UnregisterPictureFormat("ttextpicture");
  EXPECT_EQ(PictureFormatByExtension("txp"), nullptr);
}

TEST(Picture, LoadsThroughTheRegisteredClassOrSaysWhyNot) {
  RegisterPictureFormat(TextFormat());
  TPicture p;
  p.LoadFromFile(WriteTemp(L"qv_picture_\u0416.TXP", "12x34"));
  EXPECT_EQ(p.Width(), 12);
  EXPECT_EQ(p.Height(), 34);
  ASSERT_NE(p.Format(), nullptr);
  EXPECT_EQ(p.Format()->ClassName, "TTextPicture");

  TMemoryStream stored(std::string("\x0C") + "TTextPicture" + "5x6");
  p.ReadData(stored);
  EXPECT_EQ(p.Width(), 5);

  try {
    p.LoadFromFile(WriteTemp(L"qv_picture.xyz", "1x1"));
    FAIL();
  } catch (const EQvError& e) {
    EXPECT_STREQ(e.what(), "Extension de fichier image (.xyz) inconnue");
  }
  EXPECT_EQ(p.Graphic(), nullptr);
  TMemoryStream unknown(std::string("\x05") + "TNone" + "1x1");
  EXPECT_THROW(p.ReadData(unknown), EQvError);
  TMemoryStream cut(std::string("\x20") + "TText");
  EXPECT_THROW(p.ReadData(cut), EQvError);
  EXPECT_THROW(p.LoadFromFile(WriteTemp(L"qv_picture_bad.txp", "large")), EQvError);
  EXPECT_EQ(p.Graphic(), nullptr);
  EXPECT_THROW(p.LoadFromResource(GetModuleHandleA(nullptr), "NONE", "TXP"), EQvError);
  UnregisterPictureFormat("TTextPicture");
}
