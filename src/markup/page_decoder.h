// Converts the bytes of a page from its encoding into bytes of the ANSI code
// page, a piece at a time. Every character becomes at most one byte: its
// byte in the page, else a one-byte transliteration, else "?"; a character
// whose transliteration is empty (a zero-width space) becomes nothing. An
// invalid sequence becomes one "?" and the bytes after it are read afresh.
// The output of a piece is therefore never longer than the piece.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "markup/charset_detection.h"

namespace orbis {

namespace platform {
class Transliterator;
}

class PageDecoder {
public:
  PageDecoder();
  ~PageDecoder();
  PageDecoder(const PageDecoder&) = delete;
  PageDecoder& operator=(const PageDecoder&) = delete;

  // Prepares the conversion from encoding (for SingleByte, the set iconv
  // knows as name). False when the page needs none: AsWritten, a set iconv
  // does not know or that is not a single-byte extension of ASCII, or one
  // that means the code page itself.
  bool start(PageEncoding encoding, const std::string& name);

  // For UTF-16 read without the text-mode conversion: CR LF becomes LF and
  // U+001A ends the data, as text mode does for the other encodings.
  void setFoldLineEnds(bool on) { foldLineEnds_ = on; }

  struct Step {
    std::size_t consumed = 0;
    std::size_t produced = 0;
    bool ended = false;  // U+001A met: nothing after it is data
  };

  // Converts from in into out until out is full or in is used up. Without
  // atEnd, bytes that end inside a character are left unconsumed, to come
  // again at the front of the next piece; with atEnd they become "?".
  Step convert(const char* in, std::size_t inLength, bool atEnd, char* out, std::size_t capacity);

private:
  Step convertUtf8(const unsigned char* in, std::size_t inLength, bool atEnd, char* out,
                   std::size_t capacity);
  Step convertUtf16(const unsigned char* in, std::size_t inLength, bool atEnd, char* out,
                    std::size_t capacity);
  Step convertSingleByte(const unsigned char* in, std::size_t inLength, char* out,
                         std::size_t capacity);
  bool buildSingleByteTable(const std::string& name);
  // The byte for a code point, or -1 for nothing.
  int encode(char32_t codePoint);

  PageEncoding encoding_ = PageEncoding::AsWritten;
  bool foldLineEnds_ = false;
  std::array<int16_t, 256> table_{};  // single-byte sets: byte, or -1 for nothing
  std::unique_ptr<platform::Transliterator> transliterator_;
  std::unordered_map<char32_t, int16_t> transliterated_;
};

}  // namespace orbis
