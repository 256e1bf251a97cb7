// Parses arbitrary bytes as a page: raw text, pre, folding and character
// references over the chunked tokenizer. References are looked up in the
// built-in settings and in a table whose texts hold references themselves
// (one refers to itself), so that replacements are searched again and cut
// off by the replacement bound.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "config/default_settings.h"
#include "config/settings.h"
#include "markup/byte_source.h"
#include "markup/document_parser.h"
#include "markup/tree.h"

namespace {

std::unique_ptr<orbis::Settings> settingsFrom(std::string_view text) {
  orbis::MemorySource source(text.data(), static_cast<int64_t>(text.size()));
  return orbis::Settings::fromSource(source);
}

const orbis::Settings& builtInSettings() {
  static const std::unique_ptr<orbis::Settings> loaded =
      settingsFrom({orbis::defaultSettingsText, orbis::defaultSettingsTextLength});
  return *loaded;
}

const orbis::Settings& chainingSettings() {
  static const std::unique_ptr<orbis::Settings> loaded = settingsFrom(
      "<Use CharacterSet=T><CharacterSet name=T>"
      "<entity name=amp unicode=38><entity name=lt unicode=60><entity name=nbsp unicode=32>"
      "<entity name=x unicode=120 value='a&x;'><entity name=h unicode=1000 value='a&'>"
      "<entity name=s unicode=1001 value='&s;'><entity name=n unicode=1002 value='&#x3'>"
      "<entity name=w unicode=1003 value='&lt;&amp;&h;'><entity name=z value=';&x'>"
      "</CharacterSet>");
  return *loaded;
}

void parsePage(std::string_view bytes, const orbis::EntityResolver& resolver) {
  orbis::MemorySource source(bytes.data(), static_cast<int64_t>(bytes.size()));
  orbis::DocumentParser parser(&resolver);
  orbis::Tree root;
  parser.parse(&source, &root);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const char empty = 0;
  std::string_view bytes(size ? reinterpret_cast<const char*>(data) : &empty, size);
  parsePage(bytes, builtInSettings());
  parsePage(bytes, chainingSettings());

  // A prefix of the same bytes as one text, the way an image's alternative
  // text is decoded, and folded.
  std::string_view prefix = bytes.substr(0, 4096);
  for (const orbis::EntityResolver* resolver :
       {static_cast<const orbis::EntityResolver*>(&builtInSettings()),
        static_cast<const orbis::EntityResolver*>(&chainingSettings())}) {
    std::string text(prefix);
    orbis::decodeCharacterReferences(text, resolver);
  }
  std::string folded(bytes);
  bool afterSpace = size % 2 == 0;
  orbis::foldWhiteSpace(folded, afterSpace);
  return 0;
}
