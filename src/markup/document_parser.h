// The MarkupParser for HTML documents: raw text inside xmp and script, kept
// white space inside pre, white-space folding elsewhere, and the decoding of
// character references, before each token enters the tree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "markup/markup_parser.h"

namespace orbis {

// Where character references find their text. The settings implement it.
class EntityResolver {
public:
  virtual ~EntityResolver() = default;
  // The configured text for a code, else the character in the ANSI code
  // page; empty for code 0 unless configured.
  virtual std::string textForCode(int32_t code) const = 0;
  // textForCode of the code stored for the name (byte-exact), 0 if none.
  virtual std::string textForName(std::string_view name) const = 0;
};

// Replaces the character references of text in place ("&name;", "&#65;",
// "&#x41;"). A reference whose text is empty stays as written. At most as
// many replacements are made as text had bytes on entry, so a replacement
// text that holds a reference cannot make the text grow for ever. Linear in
// the size of text and of the replacements. resolver may be null (then
// nothing is replaced).
void decodeCharacterReferences(std::string& text, const EntityResolver* resolver);

class EntityCache;
// The same with the answers of a resolver remembered across calls.
void decodeCharacterReferences(std::string& text, const EntityCache& resolver);

// Folds every run of white space (space, tab, CR, LF) to one space, in
// place. A run at the very start is removed when afterSpace is set; on
// return afterSpace tells whether the folded text ends in a space (unchanged
// when the text comes out empty).
void foldWhiteSpace(std::string& text, bool& afterSpace);

class DocumentParser : public MarkupParser {
public:
  explicit DocumentParser(const EntityResolver* resolver);
  ~DocumentParser() override;

  void onToken(Token* token) override;
  bool isTagStart(const char* p, int32_t remaining) override;
  void parse(ByteSource* source, Tree* target) override;

  bool inXmp = false;
  bool inScript = false;
  bool inPre = false;
  bool afterSpace = true;

private:
  // The resolver's answers, remembered; null without a resolver.
  std::unique_ptr<EntityCache> resolver_;
};

}  // namespace orbis
