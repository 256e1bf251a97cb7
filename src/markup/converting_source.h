// The byte source between a page's file and the tokenizer that turns a page
// written in another encoding into bytes of the ANSI code page, so that the
// 8-bit reader and layout behind it see one byte per character.
//
// Before the first byte goes out it reads ahead and decides: a byte-order
// mark (UTF-8, dropped; UTF-16 either way round), else a meta element in the
// first 1024 bytes that declares a set, else UTF-8 when the first 64 KB hold
// bytes from 0x80 up and all of them are valid UTF-8. A page that needs no
// conversion gets back exactly the reads the inner source delivered, in the
// same lengths, and after the read-ahead each read goes straight through;
// the tokenizer's chunks, and so everything it makes, stay as they were. A
// converted page is delivered in reads of at most the requested length.
//
// The inner source is not owned and counts what it delivers as before, so a
// file's progress stays in file bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "markup/byte_source.h"
#include "markup/charset_detection.h"

namespace orbis {

class PageDecoder;

class ConvertingSource : public ByteSource {
public:
  // Over a page's file: a UTF-16 byte-order mark is seen before the first
  // read, and such a file is then read without text mode (whose CR LF and
  // 0x1A rules would cut its two-byte characters apart) and given the same
  // rules on its characters instead. With enabled false, every call goes
  // straight to file.
  ConvertingSource(FileSource& file, bool enabled);
  // Over any source, read as it delivers.
  ConvertingSource(ByteSource& inner, bool enabled);
  ~ConvertingSource() override;

  void rewind() override;
  bool read(char* buffer, int32_t& length) override;
  bool isOpen() const override { return inner_.isOpen(); }

private:
  enum class Phase { Detecting, Replaying, PassingThrough, Converting };

  void detect(int32_t capacity);
  PageEncoding peekByteOrderMark();
  bool fetch(int32_t capacity);
  bool replay(char* buffer, int32_t& length);
  bool convert(char* buffer, int32_t& length);

  ByteSource& inner_;
  FileSource* file_;  // inner_ when it is a file, else null
  bool enabled_;
  bool leftTextMode_ = false;
  Phase phase_ = Phase::Detecting;
  // The bytes read ahead, then the bytes read but not yet converted: the
  // unused ones are [begin_, end_).
  std::vector<char> bytes_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool innerEnded_ = false;
  std::vector<int32_t> readLengths_;  // of the reads ahead, for the replay
  std::size_t replayed_ = 0;          // reads of readLengths_ given out in full
  std::unique_ptr<PageDecoder> decoder_;
};

}  // namespace orbis
