// A token of the tokenizer, as its handler sees it: a run of text, or an
// element (a start tag, or an end tag whose name begins with "/") with its
// attributes. The tokenizer fills the same two tokens over and over; a
// handler may change a token (the document parser folds white space and
// decodes references in place) but keeps nothing of it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "markup/node.h"

namespace orbis {

struct Token {
  enum class Kind : uint8_t { Text, Element };

  explicit Token(Kind tokenKind) : kind(tokenKind) {}

  bool isElement() const { return kind == Kind::Element; }
  bool isEndTag() const { return isElement() && !text.empty() && text[0] == '/'; }
  AttributeRange attributeRange() const {
    return {attributes.data(), attributes.data() + attributes.size()};
  }

  // Adds a pair unless name or value is empty. Each counts up to its first
  // zero byte.
  void addAttribute(std::string_view name, std::string_view value) {
    name = name.substr(0, name.find('\0'));
    value = value.substr(0, value.find('\0'));
    if (!name.empty() && !value.empty()) AttributeRange::append(attributes, name, value);
  }

  // Empties the token for the next one; a buffer grown large goes back.
  void clear() {
    if (text.capacity() > KeptCapacity) std::string().swap(text);
    if (attributes.capacity() > KeptCapacity) std::string().swap(attributes);
    text.clear();
    attributes.clear();
  }

  Kind kind;
  std::string text;        // a text's bytes; an element's name as written
  std::string attributes;  // elements: the pairs, in AttributeRange's encoding

private:
  static constexpr std::size_t KeptCapacity = std::size_t{1} << 16;
};

}  // namespace orbis
