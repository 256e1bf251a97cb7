// Lays out arbitrary bytes as a page, the way a load does after its parse:
// the tree is released node by node while lines are made, then the writer
// numbers, aligns and writes them. The first byte picks the wrap width, so
// narrow widths (where the long-word rule works hardest) get their share.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "config/default_settings.h"
#include "config/settings.h"
#include "markup/byte_source.h"
#include "markup/document_parser.h"
#include "platform/console.h"
#include "render/document.h"

namespace {

orbis::Settings& builtInSettings() {
  static const std::unique_ptr<orbis::Settings> loaded = [] {
    orbis::MemorySource source(orbis::defaultSettingsText,
                               static_cast<int64_t>(orbis::defaultSettingsTextLength));
    return orbis::Settings::fromSource(source);
  }();
  return *loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  orbis::settings = &builtInSettings();
  const int32_t width = 2 + data[0] % 40;
  orbis::platform::setConsoleSizeOverride({width, 6});
  std::string_view page(reinterpret_cast<const char*>(data + 1), size - 1);

  orbis::Document document;
  document.treeRoot = std::make_unique<orbis::Node>();
  orbis::MemorySource source(page.data(), static_cast<int64_t>(page.size()));
  orbis::DocumentParser parser(orbis::settings);
  parser.parse(&source, document.treeRoot.get());
  document.wrapWidth = width;
  document.layOutTree();
  document.treeRoot.reset();
  document.writeText();
  return 0;
}
