// The tags that layout knows. Several names share a handler (the six
// headings), one name stands twice (button, 42 and 51; the first wins), and
// input has no record at all, so it is transparent like any unknown tag.
#include "render/tag_table.h"

#include <cstddef>

#include "markup/lower_string.h"

namespace orbis {

const TagRecord TagTable[TagTableSize] = {
    {"style", 1},     {"script", 2},     {"title", 3},     {"a", 4},        {"body", 5},
    {"address", 6},   {"blockquote", 7}, {"center", 8},    {"h1", 9},       {"h2", 9},
    {"h3", 9},        {"h4", 9},         {"h5", 9},        {"h6", 9},       {"layer", 10},
    {"listing", 11},  {"marquee", 12},   {"multicol", 13}, {"p", 14},       {"plaintext", 15},
    {"pre", 16},      {"xmp", 17},       {"abbr", 18},     {"b", 19},       {"big", 20},
    {"blink", 21},    {"cite", 22},      {"code", 23},     {"del", 24},     {"dfn", 25},
    {"em", 26},       {"font", 27},      {"i", 28},        {"ilayer", 29},  {"ins", 30},
    {"kbd", 31},      {"q", 32},         {"s", 33},        {"samp", 34},    {"small", 35},
    {"strike", 36},   {"strong", 37},    {"sub", 38},      {"sup", 39},     {"tt", 40},
    {"u", 41},        {"button", 42},    {"fieldset", 43}, {"label", 44},   {"legend", 45},
    {"form", 46},     {"optgroup", 47},  {"option", 48},   {"select", 49},  {"textarea", 50},
    {"button", 51},   {"checkbox", 52},  {"file", 53},     {"hidden", 54},  {"image", 55},
    {"password", 56}, {"radio", 57},     {"reset", 58},    {"submit", 59},  {"text", 60},
    {"br", 61},       {"nobr", 62},      {"wbr", 63},      {"ol", 64},      {"ul", 65},
    {"dl", 66},       {"menu", 67},      {"dir", 68},      {"li", 69},      {"dt", 70},
    {"dd", 71},       {"basefont", 72},  {"bdo", 73},      {"hr", 74},      {"comment", 75},
    {"nolayer", 76},  {"spacer", 77},    {"area", 78},     {"bgsound", 79}, {"img", 80},
    {"map", 81},      {"object", 82},    {"sound", 83},    {"div", 84},     {"span", 85},
    {"caption", 86},  {"col", 87},       {"colgroup", 88}, {"thead", 89},   {"tbody", 90},
    {"tfoot", 91},    {"table", 92},     {"th", 93},       {"tr", 94},      {"td", 95},
};

namespace {

// Every element of a page is looked up, so the table is indexed once by a
// small open-addressed hash of the folded names. Records are inserted in
// table order and a name already present is skipped, so the first record of
// a name wins exactly as a scan from the front would find it.
constexpr std::size_t SlotCount = 256;  // a power of two, well above 100

struct TagIndex {
  const TagRecord* slots[SlotCount] = {};

  static std::size_t hash(std::string_view folded) {
    std::size_t value = 2166136261u;
    for (char c : folded) {
      value = (value ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return value;
  }

  TagIndex() {
    for (const TagRecord& record : TagTable) {
      std::string_view name(record.name);
      std::size_t slot = hash(name) & (SlotCount - 1);
      while (slots[slot] != nullptr && name != slots[slot]->name) {
        slot = (slot + 1) & (SlotCount - 1);
      }
      if (slots[slot] == nullptr) {
        slots[slot] = &record;
      }
    }
  }

  int32_t find(std::string_view folded) const {
    for (std::size_t slot = hash(folded) & (SlotCount - 1); slots[slot] != nullptr;
         slot = (slot + 1) & (SlotCount - 1)) {
      if (folded == slots[slot]->name) {
        return slots[slot]->id;
      }
    }
    return TagId::Unknown;
  }
};

}  // namespace

int32_t lookupTag(std::string_view name) {
  // Record names are lower case and shorter than their 16-byte field.
  if (name.empty() || name.size() >= sizeof TagTable[0].name) {
    return TagId::Unknown;
  }
  char folded[sizeof TagTable[0].name];
  for (std::size_t i = 0; i < name.size(); ++i) {
    folded[i] = static_cast<char>(foldCase(static_cast<unsigned char>(name[i])));
  }
  static const TagIndex index;
  return index.find(std::string_view(folded, name.size()));
}

}  // namespace orbis
