// An EntityResolver that remembers the answers of another: a page names the
// same few references again and again, and asking the settings each time
// (a map search, a code page conversion) costs far more than finding the
// answer here. What it answers is always what the resolver behind it
// would. It keeps a limited number of answers; past that it asks through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "markup/document_parser.h"

namespace orbis {

class EntityCache : public EntityResolver {
public:
  explicit EntityCache(const EntityResolver& resolver) : resolver_(resolver) {}

  std::string textForCode(int32_t code) const override { return codeText(code); }
  std::string textForName(std::string_view name) const override { return nameText(name); }

  // The same answers, kept until the next look-up at the latest.
  const std::string& codeText(int32_t code) const;
  const std::string& nameText(std::string_view name) const;

private:
  static constexpr std::size_t Slots = 2048;  // a power of two
  static constexpr std::size_t MostKept = Slots / 2;
  static constexpr std::size_t LongestKept = 32;  // bytes of a name

  struct Answer {
    std::string key;  // the name, or the code's four bytes
    std::string text;
  };
  // Filled on demand by the const look-ups: a cache, not a change of what
  // the resolver answers.
  struct Table {
    std::vector<Answer> answers;
    std::vector<uint16_t> slots;  // open addressing: an answer's index plus one, or 0
  };

  template <typename Ask>
  const std::string& answer(Table& table, std::string_view key, Ask ask) const;

  const EntityResolver& resolver_;
  mutable Table names_;
  mutable Table codes_;
  mutable std::string passed_;  // an answer not kept
};

}  // namespace orbis
