// Lays out arbitrary bytes as a page, the way a load does after its parse:
// the tree is released node by node while lines are made, then the writer
// hands their text over. The first byte picks the wrap width, so
// narrow widths (where the long-word rule works hardest) get their share.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "config/settings_sources.h"
#include "markup/byte_source.h"
#include "markup/document_parser.h"
#include "render/document.h"
#include "render/layout.h"
#include "render/writer.h"

namespace {

const orbis::Settings& settings() {
  static const std::unique_ptr<orbis::Settings> loaded = orbis::builtInSettings();
  return *loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  const int32_t width = 2 + data[0] % 40;
  std::string_view page(reinterpret_cast<const char*>(data + 1), size - 1);

  orbis::Document document;
  orbis::Tree root;
  orbis::MemorySource source(page.data(), static_cast<int64_t>(page.size()));
  orbis::DocumentParser parser(&settings());
  parser.parse(&source, &root);
  orbis::Layout layout(document, settings(), width);
  layout.layOutTree(root);
  layout.finish();
  document.lastLineIndex = orbis::lastLineIndexFor(layout.currentLine, {width, 6});
  std::size_t written = 0;
  orbis::TextWriter([&](std::string_view block) {
    written += block.size();
    return true;
  }).finish(document);
  // Each line ends in a line feed, however it was laid out.
  if (written < document.lines.size()) __builtin_trap();
  return 0;
}
