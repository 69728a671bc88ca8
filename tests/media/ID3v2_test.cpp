// ID3v2 reader on hand-built tags: the three frame layouts, text encodings,
// derived fields, malformed input and what the reader reads.
#include "media/ID3v2.h"

#include <gtest/gtest.h>

#include "media/Id3Bytes.h"

using namespace qv::media;
using namespace qv::media::test;

namespace {

struct Loaded {
  TID3v2 tag;
  bool ok = false;
  uint64_t bytesRead = 0;
};

Loaded load(const std::string& file) {
  Loaded r;
  const auto b = bytes(file);
  TMemorySource src(b);
  r.ok = r.tag.LoadId3v2Tag(src);
  r.bytesRead = src.bytesRead();
  return r;
}

Loaded load23(const std::string& frames) { return load(tag(3, frames) + "\xFF\xFB audio"); }

}  // namespace

TEST(ID3v2, FileWithoutTagOrTooShort) {
  Loaded r = load(std::string("\xFF\xFB\x90\x64") + std::string(400, '\0'));
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.tag.Present);
  EXPECT_EQ(r.tag.Title, "");
  EXPECT_EQ(r.tag.TagSize, 0u);
  EXPECT_FALSE(load("ID3\x03\0\0\0\0").ok);
  // Reading the next file resets what the previous one gave.
  TID3v2 t;
  auto a = bytes(tag(3, frame(3, "TIT2", text(0, "Un"))));
  TMemorySource sa(a);
  ASSERT_TRUE(t.LoadId3v2Tag(sa));
  EXPECT_EQ(t.Title, "Un");
  auto b = bytes(std::string(20, 'x'));
  TMemorySource sb(b);
  ASSERT_TRUE(t.LoadId3v2Tag(sb));
  EXPECT_EQ(t.Title, "");
  EXPECT_FALSE(t.Present);
}

TEST(ID3v2, Latin1TextsAreTrimmedAtTheirEnd) {
  Loaded r = load23(frame(3, "TIT2", text(0, std::string("Song\0\0\0", 7))) +
                    frame(3, "TPE1", text(0, "  Caf\xE9  ")) +
                    // A second value after the terminator is not part of the name.
                    frame(3, "TALB", text(0, std::string("Un\0Deux", 7))));
  EXPECT_TRUE(r.tag.Present);
  EXPECT_EQ(r.tag.Version, 3);
  EXPECT_EQ(r.tag.Title, "Song");
  EXPECT_EQ(r.tag.Artist, "Caf\xE9");
  EXPECT_EQ(r.tag.Album, "Un");
}

TEST(ID3v2, Utf16EncodingsKeepEveryUnitButTheMark) {
  // ÿ (U+00FF) and Ŀ (U+013F) have a low byte 0xFF: they are characters, not marks.
  const std::u16string title = u"\u00E9t\u00E9 \u00FF\u013F\u20AC";
  Loaded r = load23(frame(3, "TIT2", text(1, "\xFF\xFE" + utf16le(title) + std::string(2, '\0'))) +
                    frame(3, "TPE1", text(1, "\xFE\xFF" + utf16be(u"Big \u0152"))) +
                    // Encoding 2 has no mark: big-endian.
                    frame(3, "TALB", text(2, utf16be(u"No\u00EBl"))) +
                    frame(3, "TCOM", text(3, "Dvo\xC5\x99\xC3\xA1k \xE2\x80\x93 \xF0\x9F\x8E\xB5")));
  EXPECT_EQ(r.tag.Title, "\xE9t\xE9 \xFF?\x80");
  EXPECT_EQ(r.tag.Artist, "Big \x8C");
  EXPECT_EQ(r.tag.Album, "No\xEBl");
  EXPECT_EQ(r.tag.Composer, "Dvo?\xE1k \x96 ?");
  // No NUL byte reaches a name, and a text stops at its first zero unit.
  Loaded z = load23(frame(3, "TIT2", text(1, "\xFF\xFE" + utf16le(u"A") + std::string(2, '\0') + utf16le(u"B"))));
  EXPECT_EQ(z.tag.Title, "A");
}

TEST(ID3v2, DerivedFields) {
  Loaded r = load23(frame(3, "TRCK", text(0, "3/12")) + frame(3, "TDRC", text(0, "2004-05-06")) +
                    frame(3, "TCON", text(0, "(17)Rock")) + frame(3, "TOPE", text(0, "Orig")) +
                    frame(3, "TIT1", text(0, "Group")) + frame(3, "TOAL", text(0, "OrigAlbum")) +
                    frame(3, "TENC", text(0, "enc")) + frame(3, "TCOP", text(0, "(C) 2004")) +
                    frame(3, "TLAN", text(0, "fra")) + frame(3, "TSIZ", text(0, "12345")));
  EXPECT_EQ(r.tag.TrackString, "3/12");
  EXPECT_EQ(r.tag.Track, 3);
  EXPECT_EQ(r.tag.Year, "2004");
  EXPECT_EQ(r.tag.Genre, "Rock");
  EXPECT_EQ(r.tag.Artist, "Orig");
  EXPECT_EQ(r.tag.Title, "Group");
  EXPECT_EQ(r.tag.Album, "OrigAlbum");
  EXPECT_EQ(r.tag.Encoder, "enc");
  EXPECT_EQ(r.tag.Copyright, "(C) 2004");
  EXPECT_EQ(r.tag.Language, "fra");
  EXPECT_EQ(r.tag.Tsiz, "12345");
  EXPECT_EQ(r.tag.Field("tsiz"), "12345");
  EXPECT_EQ(r.tag.Field("TrackString"), "3/12");
  EXPECT_EQ(r.tag.Field("TRACK"), "");

  // The first choice wins over the second.
  Loaded f = load23(frame(3, "TYER", text(0, "1999")) + frame(3, "TDRC", text(0, "2004")) +
                    frame(3, "TIT2", text(0, "T")) + frame(3, "TIT1", text(0, "G")));
  EXPECT_EQ(f.tag.Year, "1999");
  EXPECT_EQ(f.tag.Title, "T");

  struct { const char* tcon; const char* genre; } genres[] = {
      {"(13)", ""}, {"Pop", "Pop"}, {"(17)(31)", ""}, {"(RX)(17) Rock", "Rock"},
      // A parenthesis inside a genre name is no reference.
      {"Drum & Bass (Liquid)", "Drum & Bass (Liquid)"}, {"(17)Drum & Bass (Liquid)", "Drum & Bass (Liquid)"},
      {"13", "13"}};
  for (const auto& g : genres) EXPECT_EQ(load23(frame(3, "TCON", text(0, g.tcon))).tag.Genre, g.genre) << g.tcon;

  struct { const char* trck; uint16_t track; } tracks[] = {{"7", 7}, {"07/9", 7}, {"x/9", 0}, {"70000", 0}, {"", 0}};
  for (const auto& t : tracks) EXPECT_EQ(load23(frame(3, "TRCK", text(0, t.trck))).tag.Track, t.track) << t.trck;
}

TEST(ID3v2, CommentAndLinkDescriptions) {
  // The UTF-16 description's terminator lies on a unit boundary: U+0100 after
  // 'A' puts 00 00 at an odd offset first.
  const std::string desc = "\xFF\xFE" + utf16le(u"A\u0100") + std::string(2, '\0');
  Loaded r = load23(frame(3, "COMM", text(1, "fra" + desc + "\xFF\xFE" + utf16le(u"Tr\u00E8s bien"))) +
                    // The link after a UTF-16 description is 8-bit text.
                    frame(3, "WXXX", text(1, desc + "http://exemple.fr/a")));
  EXPECT_EQ(r.tag.Comment, "Tr\xE8s bien");
  EXPECT_EQ(r.tag.Link, "http://exemple.fr/a");

  EXPECT_EQ(load23(frame(3, "COMM", text(0, std::string("engdesc\0Hello", 13)))).tag.Comment, "Hello");
  EXPECT_EQ(load23(frame(3, "COMM", text(3, std::string("eng\0\xC3\xA9", 6)))).tag.Comment, "\xE9");
  EXPECT_EQ(load23(frame(3, "COMM", text(2, "eng" + std::string(2, '\0') + utf16be(u"BE")))).tag.Comment, "BE");
  EXPECT_EQ(load23(frame(3, "WXXX", text(0, std::string("\0http://a.b", 11)))).tag.Link, "http://a.b");
  // Frames too short for their description give nothing, not a crash.
  EXPECT_EQ(load23(frame(3, "COMM", text(1, "en"))).tag.Comment, "");
  EXPECT_EQ(TID3v2::CommentText("", 4), "");
}

TEST(ID3v2, Version22Layout) {
  const std::string frames = frame(2, "TT2", text(0, "Titre")) + frame(2, "TP1", text(1, "\xFF\xFE" + utf16le(u"Artiste"))) +
                             frame(2, "TAL", text(0, "Album")) + frame(2, "TRK", text(0, "5")) +
                             frame(2, "TYE", text(0, "1987")) + frame(2, "TCO", text(0, "(8)Jazz")) +
                             frame(2, "COM", text(0, std::string("fra\0Bon", 7))) +
                             frame(2, "WXX", text(0, std::string("\0http://v22", 11)));
  Loaded r = load(tag(2, frames));
  EXPECT_EQ(r.tag.Version, 2);
  EXPECT_EQ(r.tag.Title, "Titre");
  EXPECT_EQ(r.tag.Artist, "Artiste");
  EXPECT_EQ(r.tag.Album, "Album");
  EXPECT_EQ(r.tag.Track, 5);
  EXPECT_EQ(r.tag.Year, "1987");
  EXPECT_EQ(r.tag.Genre, "Jazz");
  EXPECT_EQ(r.tag.Comment, "Bon");
  EXPECT_EQ(r.tag.Link, "http://v22");
  // Version 2.2's flag 0x40 marks a compressed tag: nothing can be read.
  EXPECT_EQ(load(tag(2, frames, 0x40)).tag.Title, "");
}

TEST(ID3v2, SizesAndBounds) {
  // An 800-byte body is kept cut to 500 bytes, and the next frame is found.
  Loaded r = load23(frame(3, "TIT2", text(0, std::string(799, 'a'))) + frame(3, "TPE1", text(0, "Next")));
  EXPECT_EQ(r.tag.Title, std::string(499, 'a'));
  EXPECT_EQ(r.tag.Artist, "Next");
  // Version 2.4: size bytes 00 00 01 48 are synchsafe 200.
  Loaded v4 = load(tag(4, frame(4, "TIT2", text(0, std::string(199, 'b'))) + frame(4, "TPE1", text(0, "After"))));
  EXPECT_EQ(v4.tag.Title, std::string(199, 'b'));
  EXPECT_EQ(v4.tag.Artist, "After");

  // A header size past the file's end: present, no frame read.
  std::string big = tag(3, frame(3, "TIT2", text(0, "X")));
  big[6] = 0x7F;
  Loaded past = load(big);
  EXPECT_TRUE(past.tag.Present);
  EXPECT_EQ(past.tag.TagSize, 0u);
  EXPECT_EQ(past.tag.Title, "");

  // A frame that ends past the tag stops the walk and is not kept.
  std::string over = tag(3, frame(3, "TIT2", text(0, "Ok")) + frame(3, "TPE1", text(0, "Cut")), 0, 0);
  over.resize(over.size() - 2);  // the tag now ends 2 bytes before TPE1 does
  over[9] = static_cast<char>(over[9] - 2);
  over += "AUDIO DATA";
  Loaded o = load(over);
  EXPECT_EQ(o.tag.Title, "Ok");
  EXPECT_EQ(o.tag.Artist, "");

  // Footer flag: the footer's 10 bytes count in the tag size.
  const std::string body = frame(4, "TIT2", text(0, "F"));
  Loaded foot = load(tag(4, body, 0x10, 0) + "3DI" + std::string(7, '\0'));
  EXPECT_EQ(foot.tag.TagSize, body.size() + 20);
  EXPECT_EQ(foot.tag.Title, "F");
}

TEST(ID3v2, ExtendedHeaderIsSkipped) {
  const std::string frames = frame(3, "TIT2", text(0, "Ext"));
  // 2.3: size 6 not counting itself, then 6 bytes (flags and padding size).
  Loaded v3 = load(tag(3, be32(6) + std::string(6, '\0') + frames, 0x40));
  EXPECT_EQ(v3.tag.Title, "Ext");
  // 2.4: synchsafe size 12 counting itself.
  Loaded v4 = load(tag(4, synchsafe32(12) + std::string("\x01\x20", 2) + std::string(6, '\x11') +
                               frame(4, "TIT2", text(0, "Ext4")), 0x40));
  EXPECT_EQ(v4.tag.Title, "Ext4");
  // A nonsense extended header size reads nothing and does not hang.
  EXPECT_EQ(load(tag(4, synchsafe32(2) + frames, 0x40)).tag.Title, "");
  EXPECT_EQ(load(tag(3, be32(0xFFFFFFF0u) + frames, 0x40)).tag.Title, "");
}

TEST(ID3v2, FrameFlagsPerVersion) {
  // 2.3: compressed (0x80) and encrypted (0x40) frames are skipped; a
  // grouped frame (0x20) has its group byte before the data.
  Loaded v3 = load23(frame(3, "TIT2", text(0, "zlib"), 0x80) + frame(3, "TPE1", text(0, "crypt"), 0x40) +
                     frame(3, "TALB", "\x07" + text(0, "Grouped"), 0x20));
  EXPECT_EQ(v3.tag.Title, "");
  EXPECT_EQ(v3.tag.Artist, "");
  EXPECT_EQ(v3.tag.Album, "Grouped");

  // 2.4: data length indicator (0x01) and unsynchronisation (0x02) decoded,
  // compression (0x08) and encryption (0x04) skipped; 2.3's 0x80 means
  // nothing there.
  const std::string unsynced = unsync(text(1, "\xFF\xFE" + utf16le(u"\u00FF\u00FF")));
  Loaded v4 = load(tag(4, frame(4, "TIT2", synchsafe32(7) + unsynced, 0x03) +
                              frame(4, "TPE1", text(0, "zlib"), 0x08 | 0x01) +
                              frame(4, "TALB", text(0, "crypt"), 0x04) +
                              frame(4, "TCOM", text(0, "Plain"), 0x80) +
                              frame(4, "TENC", "\x05" + text(0, "G4"), 0x40)));
  EXPECT_EQ(v4.tag.Title, "\xFF\xFF");
  EXPECT_EQ(v4.tag.Artist, "");
  EXPECT_EQ(v4.tag.Album, "");
  EXPECT_EQ(v4.tag.Composer, "Plain");
  EXPECT_EQ(v4.tag.Encoder, "G4");
  // 2.4 tag-level unsynchronisation applies to every frame.
  Loaded all = load(tag(4, frame(4, "TIT2", text(0, std::string("A\xFF\x00", 3) + "B")), 0x80));
  EXPECT_EQ(all.tag.Title, "A\xFF" "B");
}

TEST(ID3v2, WholeTagUnsynchronisationInVersion23) {
  // Frame sizes count the restored bytes; every FF is followed by an added 00.
  const std::string clear = frame(3, "TIT2", text(1, "\xFF\xFE" + utf16le(u"\u00FFt\u00E9"))) +
                            frame(3, "TPE1", text(0, "Apr\xE8s"));
  Loaded r = load(tag(3, unsync(clear), 0x80));
  EXPECT_EQ(r.tag.Title, "\xFFt\xE9");
  EXPECT_EQ(r.tag.Artist, "Apr\xE8s");
}

TEST(ID3v2, VersionsOutsideTheRangeReadNothing) {
  for (const int v : {0, 1, 5, 255}) {
    Loaded r = load(tag(v, frame(3, "TIT2", text(0, "x"))));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.tag.Present);
    EXPECT_EQ(r.tag.Title, "") << v;
  }
}

// A file larger than 4 GiB: its size and the tag check use 64-bit positions.
TEST(ID3v2, HugeFile) {
  class Huge final : public TByteSource {
  public:
    explicit Huge(std::string head) : m_head(std::move(head)) {}
    uint64_t size() const override { return (uint64_t(5) << 30) + 3; }

  protected:
    bool readAt(uint64_t offset, void* dst, size_t n) override {
      auto* out = static_cast<char*>(dst);
      for (size_t i = 0; i < n; ++i) out[i] = offset + i < m_head.size() ? m_head[offset + i] : '\0';
      return true;
    }

  private:
    std::string m_head;
  };
  Huge src(tag(4, frame(4, "TIT2", text(0, "Gros"))));
  TID3v2 t;
  ASSERT_TRUE(t.LoadId3v2Tag(src));
  EXPECT_EQ(t.Info.FileLength, (uint64_t(5) << 30) + 3);
  EXPECT_EQ(t.Title, "Gros");
}

TEST(ID3v2, ReadsOnlyHeadersAndKeptFrames) {
  // A 500 KB picture between text frames is skipped by position.
  const std::string frames = frame(3, "TIT2", text(0, "Avant")) + frame(3, "APIC", std::string(500000, '\x55')) +
                             frame(3, "TXXX", std::string(3000, 'x')) + frame(3, "TPE1", text(0, "Apr\xE8s"));
  Loaded r = load(tag(3, frames, 0, 2048) + std::string(100000, '\0'));
  EXPECT_EQ(r.tag.Title, "Avant");
  EXPECT_EQ(r.tag.Artist, "Apr\xE8s");
  // File header, five frame headers (the last one is padding), two kept bodies.
  EXPECT_EQ(r.bytesRead, 10u + 5 * 10 + 6 + 6);
}

TEST(ID3v2, EveryTruncationAndByteFlipIsHarmless) {
  const std::string good =
      tag(3, frame(3, "TIT2", text(1, "\xFF\xFE" + utf16le(u"Titre"))) + frame(3, "COMM", text(0, std::string("fra\0c", 5))) +
                 frame(3, "WXXX", text(1, std::string("\xFF\xFE\0\0", 4) + "u")) + frame(3, "TRCK", text(0, "1/2")), 0, 4);
  for (size_t n = 0; n <= good.size(); ++n) load(good.substr(0, n));
  for (size_t i = 0; i < good.size(); ++i) {
    for (const uint8_t v : {0x00, 0x7F, 0x80, 0xFF}) {
      std::string bad = good;
      bad[i] = static_cast<char>(v);
      for (const int version : {2, 3, 4}) {
        bad[3] = static_cast<char>(version);
        load(bad);
      }
    }
  }
  SUCCEED();
}
