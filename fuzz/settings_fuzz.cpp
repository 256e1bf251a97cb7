// Loads settings from arbitrary bytes, then looks up entities and named
// values the way a page's references and colours would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/settings.h"
#include "markup/byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A null block would mean the built-in text; an empty input should be
  // read as the empty file it is.
  static const char empty = 0;
  const char* bytes = size ? reinterpret_cast<const char*>(data) : &empty;
  orbis::MemorySource source(bytes, static_cast<int64_t>(size));
  auto loaded = orbis::Settings::fromSource(source);

  // Words of the input serve as names and numbers to look up.
  std::string_view input(bytes, size);
  size_t lookups = 0;
  for (size_t start = 0; start < input.size() && lookups < 64; ++lookups) {
    size_t end = input.find_first_of(" =<>'\"", start);
    if (end == std::string_view::npos) end = input.size();
    std::string word(input.substr(start, end - start));
    loaded->textForName(word);
    loaded->resolveNamedValue(word);
    loaded->isCharacterSetUsed(word);
    start = end + 1;
  }
  for (int32_t code : {0, 0x26, 0xA9, 0x10041, -1, 0x7FFFFFFF}) loaded->textForCode(code);
  for (const auto& entry : loaded->entityCodes) loaded->textForCode(entry.second);
  return 0;
}
