#include "markup/charset_detection.h"

#include <gtest/gtest.h>

#include <string>

namespace orbis {
namespace {

TEST(CharsetDetectionTest, DeclarationsInTheHead) {
  struct Case {
    std::string head;
    const char* label;  // null: nothing declared
  };
  const Case cases[] = {
      {"<html><head><meta charset=utf-8></head>", "utf-8"},
      {"<META CHARSET='UTF-8'>", "UTF-8"},
      {"<meta charset=\"utf8\"/>", "utf8"},
      {"<meta\tcharset = koi8-r >", "koi8-r"},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
       "iso-8859-1"},
      {"<meta content='text/html;CHARSET=\"koi8-r\"' HTTP-EQUIV=content-type>", "koi8-r"},
      {"<meta http-equiv=Content-Type content='text/html; charset = utf-8 ; x'>", "utf-8"},
      {"<meta http-equiv=Content-Type content='text/html'><meta charset=cp1251>", "cp1251"},
      {"<meta name=x><meta charset=windows-1251>", "windows-1251"},
      {"<meta charset=first charset=second>", "first"},
      {"<?xml version='1.0'?><!DOCTYPE html><meta charset=utf-8>", "utf-8"},
      {"<!-- <meta charset=utf-8> --><meta charset=koi8-r>", "koi8-r"},
      {"<p title='<meta charset=utf-8>'><meta charset=koi8-r>", "koi8-r"},
      {"<meta http-equiv=refresh content='0; charset=utf-8'>", nullptr},
      {"<meta name=description content='charset=utf-8'>", nullptr},
      {"<!-- <meta charset=utf-8> -->", nullptr},
      {"<!-- <meta charset=utf-8>", nullptr},
      {"<metadata charset=utf-8>", nullptr},
      {"<meta charset=utf-8", nullptr},  // cut off: not a declaration yet
      {"<meta charset='utf-8>", nullptr},
      {"<meta charset=>", nullptr},
      {"charset=utf-8", nullptr},
      {std::string(1010, ' ') + "<meta charset=utf-8>", nullptr},  // ends after 1024 bytes
      {std::string(1000, ' ') + "<meta charset=utf-8>", "utf-8"},
  };
  for (const Case& c : cases) {
    std::string label;
    bool found = findDeclaredCharset(c.head, label);
    EXPECT_EQ(found, c.label != nullptr) << c.head;
    if (found && c.label != nullptr) {
      EXPECT_EQ(label, c.label) << c.head;
    }
  }
}

TEST(CharsetDetectionTest, ByteOrderMarksAndUtf8Check) {
  const std::pair<std::string, PageEncoding> marks[] = {
      {"\xEF\xBB\xBF<p>", PageEncoding::Utf8},
      {"\xFF\xFE<\0", PageEncoding::Utf16LittleEndian},
      {"\xFE\xFF\0<", PageEncoding::Utf16BigEndian},
      {"\xEF\xBB<p>", PageEncoding::AsWritten},
      {"", PageEncoding::AsWritten},
  };
  for (const auto& [bytes, encoding] : marks) {
    int32_t length = -1;
    EXPECT_EQ(byteOrderMark(bytes, length), encoding) << bytes;
    EXPECT_EQ(length,
              encoding == PageEncoding::AsWritten ? 0 : (encoding == PageEncoding::Utf8 ? 3 : 2));
  }

  struct Check {
    std::string bytes;
    bool complete;
    bool utf8;
  };
  const Check checks[] = {
      {"only ASCII", true, false},
      {"caf\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80", true, true},
      {"caf\xE9", true, false},
      {"cut \xE2\x80", false, true},  // the rest comes after the checked bytes
      {"cut \xE2\x80", true, false},
      {"\xC0\xAF", true, false},          // overlong
      {"\xED\xA0\x80", true, false},      // surrogate
      {"\xF4\x90\x80\x80", true, false},  // beyond U+10FFFF
      {"\xC3\xA9\x80", true, false},      // stray continuation byte
  };
  for (const Check& c : checks) {
    EXPECT_EQ(looksLikeUtf8(c.bytes, c.complete), c.utf8) << c.bytes;
  }
}

TEST(CharsetDetectionTest, Labels) {
  struct Case {
    const char* label;
    PageEncoding encoding;
    const char* name;
  };
  const Case cases[] = {
      {"UTF-8", PageEncoding::Utf8, ""},
      {" utf8 ", PageEncoding::Utf8, ""},
      {"utf-16le", PageEncoding::Utf8, ""},
      {"ISO-8859-1", PageEncoding::SingleByte, "WINDOWS-1252"},
      {"latin1", PageEncoding::SingleByte, "WINDOWS-1252"},
      {"US-ASCII", PageEncoding::SingleByte, "WINDOWS-1252"},
      {"iso-8859-9", PageEncoding::SingleByte, "WINDOWS-1254"},
      {"KOI8-R", PageEncoding::SingleByte, "koi8-r"},
      {"windows-1251", PageEncoding::SingleByte, "windows-1251"},
      {"koi8-r//TRANSLIT", PageEncoding::AsWritten, ""},
      {"koi8 r", PageEncoding::AsWritten, ""},
      {"", PageEncoding::AsWritten, ""},
  };
  for (const Case& c : cases) {
    std::string name;
    EXPECT_EQ(classifyCharsetLabel(c.label, name), c.encoding) << c.label;
    EXPECT_EQ(name, c.name) << c.label;
  }
}

}  // namespace
}  // namespace orbis
