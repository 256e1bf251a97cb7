// Character sets and entities. The viewer knows no entity by itself: names,
// codes and replacement texts come from the character sets of the settings
// that a Use tag switched on. A replacement text belongs to a code, so every
// name of that code and every numeric reference to it share it; a code
// without one becomes its character in the ANSI code page.
//
// The tables are filled while the settings load and only read afterwards,
// from the parse worker and later from layout, never at the same time.
// Look-ups therefore never insert: a page full of made-up names must not
// grow the tables for the life of the process.
//
// Names the settings leave undefined may still be among HTML's own, which
// pages use freely; those are found in a fixed table, unless the page
// conversion is off, in which case pages read exactly as the settings say.
#include <string>

#include "config/html_entities.h"
#include "config/settings.h"
#include "markup/node.h"
#include "markup/number.h"
#include "platform/codepage.h"

namespace orbis {
namespace {

constexpr int32_t NoCode = -1;

std::string attributeOrEmpty(const ElementNode& element, const char* name) {
  std::string value;
  element.getAttribute(name, value);
  return value;
}

}  // namespace

bool Settings::isCharacterSetUsed(std::string_view name) const {
  for (const std::string& used : usedCharacterSets) {
    if (equalsIgnoringCase(used, name)) return true;
  }
  return false;
}

// A set is read only when a Use before it named it; its entity records are
// its direct children.
void Settings::handleCharacterSet(const ElementNode& element) {
  std::string setName;
  if (!element.getAttribute("name", setName) || !usedIndex_.contains(LowerString(setName))) return;

  for (const Node* child : element.children()) {
    const ElementNode* entity = asElement(child);
    if (!entity || !equalsIgnoringCase(entity->name(), "entity")) continue;
    std::string name = attributeOrEmpty(*entity, "name");
    std::string value = attributeOrEmpty(*entity, "value");
    std::string unicode = attributeOrEmpty(*entity, "unicode");

    // unicode is a number (empty reads as 0) or the name of an entity read
    // earlier; 0xFFFFFFFF wraps to NoCode and so skips the record as well.
    int32_t code = NoCode;
    uint32_t number = 0;
    if (parseNumber(unicode, false, number)) {
      code = static_cast<int32_t>(number);
    } else if (auto known = entityCodes.find(unicode); known != entityCodes.end()) {
      code = known->second;
    }
    if (code == NoCode) continue;
    if (!value.empty()) entityTexts.insert_or_assign(code, std::move(value));
    if (!name.empty()) entityCodes.insert_or_assign(std::move(name), code);
  }
}

std::string Settings::textForCode(int32_t code) const {
  auto configured = entityTexts.find(code);
  if (configured != entityTexts.end() && !configured->second.empty()) return configured->second;

  // Only the low sixteen bits reach the conversion, as with a UTF-16 unit.
  int byte = platform::unitToAnsiByte(static_cast<uint16_t>(code & 0xFFFF));
  if (byte == 0) return {};
  if (byte < 0) return " ";
  return std::string(1, static_cast<char>(byte));
}

std::string Settings::textForName(std::string_view name) const {
  auto known = entityCodes.find(name);
  if (known != entityCodes.end()) return textForCode(known->second);
  return textForCode(convertCharset ? htmlEntityCode(name) : 0);
}

}  // namespace orbis
