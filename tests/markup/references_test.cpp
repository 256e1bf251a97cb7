#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "markup/document_parser.h"
#include "markup/fake_resolver.h"
#include "markup/number.h"

namespace orbis {
namespace {

using testsupport::FakeResolver;

std::string decoded(std::string text, const EntityResolver& resolver) {
  decodeCharacterReferences(text, &resolver);
  return text;
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The rewrite the decoder must match byte for byte, done the slow and
// obvious way: splice each replacement into the text itself and resume the
// search right after where the "&" stood.
std::string decodedInPlace(std::string text, const EntityResolver& resolver) {
  std::size_t replacementsLeft = text.size();
  std::size_t p = 0;
  for (;;) {
    std::size_t amp = text.find('&', p);
    if (amp == std::string::npos) break;
    std::size_t s = amp + 1;
    p = s;
    std::size_t end = s;
    std::string replacement;
    if (s < text.size() && text[s] == '#') {
      bool hex = s + 1 < text.size() && (text[s + 1] == 'x' || text[s + 1] == 'X');
      end = s + (hex ? 2 : 1);
      const char* digits = hex ? "0123456789abcdefABCDEF" : "0123456789";
      end = std::min(text.find_first_not_of(digits, end), text.size());
      // The body with its "#" made a "0": "0x41" or "065".
      std::string body = "0" + text.substr(s + 1, end - s - 1);
      uint32_t code = 0;
      EXPECT_TRUE(parseNumber(body, false, code)) << body;
      if (end < text.size() && text[end] == ';') ++end;
      replacement = resolver.textForCode(static_cast<int32_t>(code));
    } else {
      std::size_t semicolon = text.find(';', s);
      if (semicolon != std::string::npos) {
        end = semicolon + 1;
        replacement = resolver.textForName(text.substr(s, semicolon - s));
      } else {
        end = std::min(s + 1, text.size());
        while (end < text.size() && end < s + 6 && isLetter(text[end])) ++end;
        replacement = resolver.textForName(text.substr(s, end - s));
      }
    }
    if (replacement.empty() || replacementsLeft == 0) continue;
    --replacementsLeft;
    text.replace(amp, end - amp, replacement);
  }
  return text;
}

struct DecodeCase {
  const char* input;
  const char* expected;
};

class DecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, MatchesExpected) {
  FakeResolver resolver;
  EXPECT_EQ(decoded(GetParam().input, resolver), GetParam().expected) << GetParam().input;
  EXPECT_EQ(decodedInPlace(GetParam().input, resolver), GetParam().expected) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Named, DecodeTest,
    ::testing::Values(DecodeCase{"&copy;", "(c)"}, DecodeCase{"a&lt;b", "a<b"},
                      DecodeCase{"&amp;lt;", "&lt;"}, DecodeCase{"&amp;amp;", "&amp;"},
                      DecodeCase{"&&amp;", "&&"}, DecodeCase{"&bogus;", "&bogus;"},
                      DecodeCase{"&AMP;", "&AMP;"}, DecodeCase{"&;", "&;"},
                      DecodeCase{"AT&T and more; x", "AT&T and more; x"},
                      DecodeCase{"&nbsp x", "  x"}, DecodeCase{"&nbspx y", "&nbspx y"},
                      DecodeCase{"&lt", "<"}, DecodeCase{"&lt1", "<1"}, DecodeCase{"a;&lt", "a;<"},
                      DecodeCase{"&ltltlt", "&ltltlt"}, DecodeCase{"&", "&"},
                      DecodeCase{"caf&eacute", "caf\xE9"}, DecodeCase{"&plusmn 1", "\xB1 1"},
                      DecodeCase{"&eacutes", "\xE9s"}, DecodeCase{"x&", "x&"},
                      DecodeCase{"&&", "&&"}, DecodeCase{"&lt &lt;", "&lt <"}));

INSTANTIATE_TEST_SUITE_P(
    Numeric, DecodeTest,
    ::testing::Values(DecodeCase{"&#65;", "A"}, DecodeCase{"&#x41;", "A"},
                      DecodeCase{"&#X41;", "A"}, DecodeCase{"&#65 x", "A x"},
                      DecodeCase{"&#65", "A"}, DecodeCase{"&#65;;", "A;"},
                      DecodeCase{"&#65&#66;", "AB"}, DecodeCase{"&#169;", "(c)"},
                      DecodeCase{"&#xa9;", "(c)"}, DecodeCase{"&#xff;", "\xFF"},
                      DecodeCase{"&#xFFFFFFFF;", " "}, DecodeCase{"&#0;", "&#0;"},
                      DecodeCase{"&#;", "&#;"}, DecodeCase{"&#", "&#"}, DecodeCase{"&#x;", "&#x;"},
                      DecodeCase{"&#xZ", "&#xZ"}, DecodeCase{"&#x41g", "Ag"},
                      DecodeCase{"&#0x41;", "&#0x41;"}, DecodeCase{"&#4294967361;", "A"},
                      DecodeCase{"&#x100000041;", "A"}, DecodeCase{"&#65536;", "&#65536;"},
                      DecodeCase{"&#0000000000000000000065;", "A"}, DecodeCase{"&#256;", " "}));

// Later bytes of a replacement are searched again; the first never is.
TEST(DecodeReferences, RescansLaterBytesOfReplacement) {
  FakeResolver resolver;
  resolver.addName("two", 1000);
  resolver.addText(1000, "x&lt;");
  resolver.addName("half", 1001);
  resolver.addText(1001, "a&");
  resolver.addName("self", 1002);
  resolver.addText(1002, "&self;");
  EXPECT_EQ(decoded("&two;", resolver), "x<");
  // The reference starts inside the replacement and ends in the text after.
  EXPECT_EQ(decoded("&half;amp;", resolver), "a&");
  EXPECT_EQ(decoded("&half;lt", resolver), "a<");
  // Its first byte is not looked at again, so this does not recur.
  EXPECT_EQ(decoded("&self;", resolver), "&self;");
}

TEST(DecodeReferences, ConfiguredTextForCodeZeroReplacesUnknownNames) {
  FakeResolver resolver;
  resolver.addText(0, "?");
  EXPECT_EQ(decoded("&bogus; &#0; &", resolver), "? ? ?");
}

TEST(DecodeReferences, WithoutResolverNothingChanges) {
  std::string text = "&amp; &#65;";
  decodeCharacterReferences(text, nullptr);
  EXPECT_EQ(text, "&amp; &#65;");
}

TEST(DecodeReferences, SelfReferenceStopsAfterAsManyReplacementsAsBytes) {
  FakeResolver resolver;
  resolver.addName("x", 120);
  resolver.addText(120, "a&x;");
  EXPECT_EQ(decoded("p &x; q", resolver), "p aaaaaaa&x; q");
  EXPECT_EQ(decoded("&x;&lt;", resolver), "aaaaaaa&x;&lt;");

  std::string big(100'000, 'b');
  big += "&x;";
  std::string result = decoded(big, resolver);
  EXPECT_EQ(result, std::string(100'000, 'b') + std::string(big.size(), 'a') + "&x;");
}

// Shapes that a search to the end of the text per "&", or a shift of the
// tail per replacement, would make quadratic. Only the results are checked.
TEST(DecodeReferences, LargeInputsDecodeCorrectly) {
  FakeResolver resolver;
  const std::size_t size = 10 * 1024 * 1024;

  std::string ampersands(size, '&');
  EXPECT_EQ(decoded(ampersands, resolver), ampersands);

  std::string farSemicolon = ampersands + ";";
  EXPECT_EQ(decoded(farSemicolon, resolver), farSemicolon);

  std::string escaped;
  for (std::size_t i = 0; i < size / 5; ++i) escaped += "&amp;";
  EXPECT_EQ(decoded(escaped, resolver), std::string(size / 5, '&'));

  std::string numeric;
  for (std::size_t i = 0; i < size / 6; ++i) numeric += "&#65; ";
  std::string expected;
  for (std::size_t i = 0; i < size / 6; ++i) expected += "A ";
  EXPECT_EQ(decoded(numeric, resolver), expected);

  EXPECT_EQ(decoded("&#" + std::string(size, '0') + "65;x", resolver), "Ax");
  EXPECT_EQ(decoded("&#x" + std::string(size, '0') + "41" + std::string(size, ' '), resolver),
            "A" + std::string(size, ' '));
}

// Replacement texts built from the same few bytes as the input, so that
// references form inside replacements, across their ends and into the text
// that follows, and some never stop growing.
FakeResolver chainingResolver() {
  FakeResolver resolver;
  resolver.addName("a", 1);
  resolver.addText(1, "a&");
  resolver.addName("x", 2);
  resolver.addText(2, "&a;");
  resolver.addName("1", 3);
  resolver.addText(3, "x&#x;1");
  resolver.addName("a1", 4);
  resolver.addText(4, "1&a");
  resolver.addName("", 5);
  resolver.addText(5, ";&x");
  resolver.addText(0xA, "a&x;&1;");
  resolver.addText(0x11, "&&#1");
  resolver.addText(0x1A, "&;");
  return resolver;
}

TEST(DecodeReferences, MatchesInPlaceRewriteOnRandomText) {
  const std::string alphabet = "&#x;a1 ";
  FakeResolver resolver = chainingResolver();
  std::mt19937 rng(20240611);
  int replaced = 0;
  for (int round = 0; round < 20000; ++round) {
    std::size_t length = rng() % 24;
    std::string input;
    for (std::size_t i = 0; i < length; ++i) input += alphabet[rng() % alphabet.size()];
    std::string expected = decodedInPlace(input, resolver);
    ASSERT_EQ(decoded(input, resolver), expected) << "input: " << input;
    if (expected != input) ++replaced;
  }
  // The comparison means little unless many inputs change.
  EXPECT_GT(replaced, 5000);
}

}  // namespace
}  // namespace orbis
