// Reads arbitrary bytes through the converting source: once in whole reads,
// once with the inner reads cut where the first input byte says and the
// requests of another size, and once into the document parser. The two
// readings must agree byte for byte (a split between reads changes
// nothing), no read may deliver more than was asked or claim success with
// nothing, and a converted page never grows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "markup/byte_source.h"
#include "markup/converting_source.h"
#include "markup/document_parser.h"
#include "markup/tree.h"

namespace {

// Hands out its bytes in reads no longer than the current step, which
// cycles through 1 .. maximum.
class SteppedSource : public orbis::ByteSource {
public:
  SteppedSource(std::string_view bytes, int32_t maximum) : bytes_(bytes), maximum_(maximum) {}

  bool isOpen() const override { return true; }
  void rewind() override { offset_ = 0; }
  bool read(char* buffer, int32_t& length) override {
    std::memset(buffer, 0, static_cast<std::size_t>(length));
    if (offset_ >= bytes_.size()) return false;
    step_ = step_ % maximum_ + 1;
    std::size_t count =
        std::min<std::size_t>({static_cast<std::size_t>(length), static_cast<std::size_t>(step_),
                               bytes_.size() - offset_});
    std::memcpy(buffer, bytes_.data() + offset_, count);
    offset_ += count;
    length = static_cast<int32_t>(count);
    return true;
  }

private:
  std::string_view bytes_;
  int32_t maximum_;
  int32_t step_ = 0;
  std::size_t offset_ = 0;
};

void check(bool condition) {
  if (!condition) std::abort();
}

std::string readAll(orbis::ByteSource& inner, int32_t capacity) {
  orbis::ConvertingSource source(inner, true);
  std::string all;
  std::string buffer(static_cast<std::size_t>(capacity), '\0');
  int32_t length = capacity;
  while (source.read(buffer.data(), length)) {
    check(length > 0 && length <= capacity);
    all.append(buffer.data(), static_cast<std::size_t>(length));
    length = capacity;
  }
  check(length == capacity);
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t maximumStep = 1 + data[0] % 64;
  const int32_t capacity = 1 + data[0] / 64 * 1365;  // 1, 1366, 2731 or 4096
  static const char empty = 0;
  std::string_view page(size > 1 ? reinterpret_cast<const char*>(data + 1) : &empty, size - 1);

  orbis::MemorySource whole(page.data(), static_cast<int64_t>(page.size()));
  const std::string converted = readAll(whole, 4096);
  check(converted.size() <= page.size());
  SteppedSource stepped(page, maximumStep);
  check(readAll(stepped, capacity) == converted);

  orbis::MemorySource again(page.data(), static_cast<int64_t>(page.size()));
  orbis::ConvertingSource source(again, true);
  orbis::DocumentParser parser(nullptr);
  orbis::Tree root;
  parser.parse(&source, &root);
  return 0;
}
