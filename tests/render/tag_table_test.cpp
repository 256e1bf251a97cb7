#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/tag_table.h"

namespace orbis {
namespace {

TEST(TagTableTest, LookupFindsWholeNamesIgnoringCase) {
  const std::pair<const char*, int32_t> cases[] = {
      {"style", 1},       {"STYLE", 1},
      {"a", 4},           {"A", 4},
      {"h1", 9},          {"H6", 9},
      {"p", 14},          {"P", 14},
      {"pre", 16},        {"Br", 61},
      {"button", 42},     {"td", 95},
      {"comment", 75},    {"plaintext", 15},
      {"pre2", 0},        {"pr", 0},
      {"input", 0},       {"", 0},
      {"br/", 0},         {"h7", 0},
      {"blockquotes", 0}, {"tablexxxxxxxxxxxxxxxxx", 0},
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
    int32_t expected = std::string(record.name) == "button" ? 42 : record.id;
    EXPECT_EQ(lookupTag(record.name), expected) << record.name;
    EXPECT_GE(record.id, previous) << record.name;  // ids rise through the table
    previous = record.id;
  }
  EXPECT_EQ(TagTable[0].id, 1);
  EXPECT_EQ(TagTable[TagTableSize - 1].id, 95);
}

}  // namespace
}  // namespace orbis
