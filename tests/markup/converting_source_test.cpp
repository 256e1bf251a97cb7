#include "markup/converting_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/scoped_environment.h"

namespace orbis {
namespace {

using orbis::testing::ScratchFolder;

// Delivers its bytes in reads of the given lengths, taken in turn, so that
// a test decides where the inner reads split the page.
class ChoppedSource : public ByteSource {
public:
  ChoppedSource(std::string bytes, std::vector<int32_t> lengths)
      : bytes_(std::move(bytes)), lengths_(std::move(lengths)) {}

  void rewind() override { delivered_ = reads_ = 0; }
  bool isOpen() const override { return true; }
  bool read(char* buffer, int32_t& length) override {
    std::memset(buffer, 0, static_cast<std::size_t>(length));
    if (delivered_ >= bytes_.size()) return false;
    std::size_t count = std::min({static_cast<std::size_t>(length), bytes_.size() - delivered_,
                                  static_cast<std::size_t>(lengths_[reads_++ % lengths_.size()])});
    std::memcpy(buffer, bytes_.data() + delivered_, count);
    delivered_ += count;
    length = static_cast<int32_t>(count);
    return true;
  }

private:
  std::string bytes_;
  std::vector<int32_t> lengths_;
  std::size_t delivered_ = 0;
  std::size_t reads_ = 0;
};

// Reads source to its end in requests of capacity bytes; the lengths of the
// reads go to lengths when given.
std::string readAll(ByteSource& source, int32_t capacity = 4096,
                    std::vector<int32_t>* lengths = nullptr) {
  std::string all;
  std::vector<char> buffer(static_cast<std::size_t>(capacity));
  int32_t length = capacity;
  while (source.read(buffer.data(), length)) {
    EXPECT_GT(length, 0);
    EXPECT_LE(length, capacity);
    all.append(buffer.data(), static_cast<std::size_t>(length));
    if (lengths != nullptr) lengths->push_back(length);
    length = capacity;
  }
  EXPECT_EQ(length, capacity) << "the end leaves length alone";
  return all;
}

std::string convert(const std::string& page, std::vector<int32_t> lengths = {4096},
                    int32_t capacity = 4096) {
  ChoppedSource inner(page, std::move(lengths));
  ConvertingSource source(inner, true);
  return readAll(source, capacity);
}

std::string utf16(std::u16string_view text, bool littleEndian) {
  std::string bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (char16_t unit : text) {
    char high = static_cast<char>(unit >> 8);
    char low = static_cast<char>(unit & 0xFF);
    bytes += littleEndian ? std::string{low, high} : std::string{high, low};
  }
  return bytes;
}

class ConvertingSourceTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (std::strcmp(platform::ansiCodePageName(), "CP1252") != 0) {
      GTEST_SKIP() << "expects the Windows-1252 code page";
    }
  }
};

const std::string MetaUtf8 = "<meta charset=utf-8>";

TEST_F(ConvertingSourceTest, PagesReadAsTheCodePage) {
  // Accents, dashes, quotes and a pilcrow, in UTF-8 and in Windows-1252.
  const std::string textUtf8 =
      "<p>caf\xC3\xA9 \xE2\x80\x94 \xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\x98s\xE2\x80\x99 "
      "\xE2\x80\x93 \xE2\x80\xA6 \xE2\x82\xAC \xC2\xB6";
  const std::string text1252 = "<p>caf\xE9 \x97 \x93q\x94 \x91s\x92 \x96 \x85 \x80 \xB6";
  const std::string contentType = "<meta http-equiv=Content-Type content='text/html; charset=";
  struct Case {
    const char* what;
    std::string page;
    std::string shown;
  };
  const Case cases[] = {
      {"declared UTF-8", MetaUtf8 + textUtf8, MetaUtf8 + text1252},
      {"UTF-8 in Content-Type", contentType + "UTF8'>" + textUtf8,
       contentType + "UTF8'>" + text1252},
      {"undeclared UTF-8", textUtf8, text1252},
      {"byte-order mark", "\xEF\xBB\xBF" + textUtf8, text1252},
      {"mark on ASCII", "\xEF\xBB\xBF<p>abc", "<p>abc"},
      {"declared Latin-1", contentType + "ISO-8859-1'>" + text1252,
       contentType + "ISO-8859-1'>" + text1252},
      {"undeclared Latin-1", text1252, text1252},
      {"declared 1252 with a hole", "<meta charset=windows-1252>\x81\xE9",
       "<meta charset=windows-1252>\x81\xE9"},
      {"koi8-r", "<meta charset=koi8-r>\x9C\xBF", "<meta charset=koi8-r>\xB0\xA9"},
      {"iso-8859-15", "<meta charset=iso-8859-15>\xA4\xE9", "<meta charset=iso-8859-15>\x80\xE9"},
      {"unknown set", "<meta charset=x-no-such-set>\xC3\xA9",
       "<meta charset=x-no-such-set>\xC3\xA9"},
      {"multi-byte set", "<meta charset=shift_jis>\x82\xA0", "<meta charset=shift_jis>\x82\xA0"},
      {"UTF-16 little-endian", utf16(u"<p>\u00E9 \u2014 \U0001D400\r\n", true),
       "<p>\xE9 \x97 A\r\n"},
      {"UTF-16 big-endian", utf16(u"<p>\u00B6", false), "<p>\xB6"},
      {"UTF-16 lone surrogates",
       utf16(u"a\xD800"
             "b\xDC00",
             true),
       "a?b?"},
      {"UTF-16 odd byte", utf16(u"ab", true) + "c", "ab?"},
      // Cannot be held: a one-byte transliteration, else "?"; nothing for
      // characters without width.
      {"transliterated",
       MetaUtf8 + "\xC5\x82 \xE2\x86\x92 \xE4\xB8\xAD a\xE2\x80\x8B"
                  "b",
       MetaUtf8 + "l ? ? ab"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(convert(c.page), c.shown) << c.what;
  }
}

// Each bad sequence becomes one "?" and the byte after it is read afresh,
// so a Latin-1 page that says it is UTF-8 loses nothing but its accents.
TEST_F(ConvertingSourceTest, InvalidUtf8BecomesOneReplacementPerSequence) {
  const std::pair<std::string, std::string> cases[] = {
      {"caf\xE9 na\xEFve \xE9\xE9.", "caf? na?ve ??."},
      {"\xC0\xAF", "??"},
      {"\xED\xA0\x80", "???"},
      {"\xF0\x9F\x98x", "?x"},
      {"\xF5\xFF", "??"},
      {"\x80\xBF", "??"},
      {"\xC3\xA9\xC3", "\xE9?"},  // cut off by the end of the page
      {"\xE2\x82", "?"},
  };
  for (const auto& [body, shown] : cases) {
    EXPECT_EQ(convert(MetaUtf8 + body), MetaUtf8 + shown) << body;
  }
}

// The first read takes the whole of the read-ahead; every later split falls
// somewhere in the characters after it.
TEST_F(ConvertingSourceTest, SplitsBetweenReadsChangeNothing) {
  const std::string padding(1100, 'p');
  const std::u16string padding16(600, u'p');
  const std::string pages[] = {
      MetaUtf8 + padding +
          "a\xC3\xA9 \xE2\x80\x94 \xF0\x9D\x90\x80 \xE2\x82 \xC0x \xF0\x9F\x98y\xC3",
      utf16(padding16 + u"<p>\u00E9\r\n\U0001D400\xD800z\u2014", true),
      utf16(padding16 + u"<p>\u00E9\r\n\U0001D400\xDC00z\u2014", false),
      "<meta charset=koi8-r>" + padding + "\x9C\xBF\xE1",
  };
  for (const std::string& page : pages) {
    const std::string whole = convert(page);
    ASSERT_NE(whole, page);
    for (int32_t first = 1024; first <= static_cast<int32_t>(page.size()); ++first) {
      for (int32_t later : {1, 3, 4096}) {
        ASSERT_EQ(convert(page, {first, later}), whole)
            << "split after " << first << ", then " << later;
      }
    }
    for (int32_t capacity : {1, 2, 3, 5}) {
      EXPECT_EQ(convert(page, {4096}, capacity), whole) << "requests of " << capacity;
    }
  }
}

// The tokenizer's chunks follow the reads, so a page that needs no
// conversion must get back the inner reads unchanged, lengths included.
TEST_F(ConvertingSourceTest, PagesThatNeedNoConversionKeepTheirReads) {
  std::string ascii(200000, 'a');
  std::string lateUtf8 = ascii;
  lateUtf8.replace(70000, 2, "\xC3\xA9");  // beyond the bytes checked
  std::string latin1 = ascii;
  latin1[30000] = '\xE9';
  std::string cutAtCheck = ascii;
  cutAtCheck.replace(65535, 2, "\xC3\xA9");
  cutAtCheck.replace(100, 2, "\xC3\xA9");
  for (const std::string& page : {ascii, lateUtf8, latin1, "<meta charset=cp1252>" + latin1}) {
    ChoppedSource reference(page, {4096, 4000, 17, 4096, 1});
    std::vector<int32_t> expected;
    ASSERT_EQ(readAll(reference, 4096, &expected), page);

    ChoppedSource inner(page, {4096, 4000, 17, 4096, 1});
    ConvertingSource source(inner, true);
    std::vector<int32_t> lengths;
    EXPECT_EQ(readAll(source, 4096, &lengths), page);
    EXPECT_EQ(lengths, expected);
  }
  // Valid UTF-8 cut by the end of the checked bytes still counts as UTF-8.
  EXPECT_EQ(convert(cutAtCheck).size(), cutAtCheck.size() - 2);
}

TEST_F(ConvertingSourceTest, ReadsEndCleanly) {
  const std::string page = MetaUtf8 + "caf\xC3\xA9";
  for (bool enabled : {true, false}) {
    ChoppedSource inner(page, {4096});
    ConvertingSource source(inner, enabled);
    const std::string shown = enabled ? MetaUtf8 + "caf\xE9" : page;
    std::vector<char> buffer(4096, 'Q');
    int32_t length = 4096;
    ASSERT_TRUE(source.read(buffer.data(), length));
    EXPECT_EQ(std::string(buffer.data(), static_cast<std::size_t>(length)), shown);
    EXPECT_EQ(std::count(buffer.begin() + length, buffer.end(), '\0'), 4096 - length);
    std::fill(buffer.begin(), buffer.end(), 'Q');
    length = 4096;
    EXPECT_FALSE(source.read(buffer.data(), length));
    EXPECT_EQ(length, 4096);
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), '\0'), 4096);
    source.rewind();
    EXPECT_EQ(readAll(source), shown);
  }
  MemorySource none(nullptr, 0);
  ConvertingSource closed(none, true);
  EXPECT_FALSE(closed.isOpen());
  EXPECT_EQ(readAll(closed), "");
}

// Text mode would end a UTF-16 file at its first 0x1A byte and fold the
// bytes 0D 0A inside a character; such files are read as they are and get
// the same rules on their characters instead.
TEST_F(ConvertingSourceTest, FilesInUtf16AreReadWithoutTextMode) {
  struct Case {
    std::string file;
    std::string shown;
  };
  const Case cases[] = {
      {utf16(u"<p>\u201A\u0D0A\r\nx\ry\u001Az", false), "<p>\x82?\nx\ry"},
      {utf16(u"<p>\u201A\u0D0A\r\nx\ry\u001Az", true), "<p>\x82?\nx\ry"},
      {"\xEF\xBB\xBF<p>\xC3\xA9\r\n\x1A"
       "after",
       "<p>\xE9\n"},
  };
  ScratchFolder folder;
  std::string path = (folder.path() / "page.html").string();
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.file;
    FileSource file(path.c_str());
    ConvertingSource source(file, true);
    EXPECT_EQ(readAll(source), c.shown);
    source.rewind();
    EXPECT_EQ(readAll(source, 3), c.shown) << "again, in short reads";
  }
}

}  // namespace
}  // namespace orbis
