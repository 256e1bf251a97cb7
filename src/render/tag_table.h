// The tags that layout knows, each with the id of its handler.
#pragma once

#include <cstdint>
#include <string_view>

namespace orbis {

struct TagRecord {
  char name[16];
  int32_t id;
};

constexpr int TagTableSize = 100;
extern const TagRecord TagTable[TagTableSize];

// The id of the first record whose name equals name (same length, case
// folded); 0 when none does.
int32_t lookupTag(std::string_view name);

namespace TagId {
enum : int32_t {
  Unknown = 0,
  Style = 1,
  Script = 2,
  Title = 3,
  A = 4,
  Body = 5,
  Blockquote = 7,
  Center = 8,
  Heading = 9,
  P = 14,
  Pre = 16,
  Font = 27,
  Option = 48,
  Select = 49,
  Br = 61,
  Ol = 64,
  Ul = 65,
  Li = 69,
  Dt = 70,
  Dd = 71,
  Hr = 74,
  Comment = 75,
  Img = 80,
  Div = 84,
  Table = 92,
  Td = 95,
};
}  // namespace TagId

}  // namespace orbis
