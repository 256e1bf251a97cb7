#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/tag_table.h"

namespace orbis {
namespace {

TEST(TagTableTest, LookupFindsWholeNamesIgnoringCase) {
  // Neither "button" (which names two records) nor "plaintext" has a
  // handler, so neither has a constant.
  const std::pair<const char*, int32_t> cases[] = {
      {"style", TagId::Style},
      {"STYLE", TagId::Style},
      {"a", TagId::A},
      {"A", TagId::A},
      {"h1", TagId::Heading},
      {"H6", TagId::Heading},
      {"p", TagId::P},
      {"P", TagId::P},
      {"pre", TagId::Pre},
      {"Br", TagId::Br},
      {"button", 42},
      {"td", TagId::Td},
      {"comment", TagId::Comment},
      {"plaintext", 15},
      {"pre2", TagId::Unknown},
      {"pr", TagId::Unknown},
      {"input", TagId::Unknown},
      {"", TagId::Unknown},
      {"br/", TagId::Unknown},
      {"h7", TagId::Unknown},
      {"blockquotes", TagId::Unknown},
      {"tablexxxxxxxxxxxxxxxxx", TagId::Unknown},
  };
  for (const auto& [name, id] : cases) {
    EXPECT_EQ(lookupTag(name), id) << name;
  }
}

// Each record is found by its own name with the id of the first record of
// that name, and its name bytes are padded with zeros.
TEST(TagTableTest, RecordsAreWellFormedAndFirstMatchWins) {
  int32_t previous = 0;
  for (const TagRecord& record : TagTable) {
    size_t length = strnlen(record.name, sizeof record.name);
    ASSERT_LT(length, sizeof record.name);
    for (size_t i = length; i < sizeof record.name; ++i)
      EXPECT_EQ(record.name[i], '\0') << record.name;
    // The first "button" record wins over the second.
    int32_t expected = std::string(record.name) == "button" ? 42 : record.id;
    EXPECT_EQ(lookupTag(record.name), expected) << record.name;
    EXPECT_GE(record.id, previous) << record.name;  // ids rise through the table
    previous = record.id;
  }
  EXPECT_EQ(TagTable[0].id, TagId::Style);
  EXPECT_EQ(TagTable[TagTableSize - 1].id, TagId::Td);
}

}  // namespace
}  // namespace orbis
