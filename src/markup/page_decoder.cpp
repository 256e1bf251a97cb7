// The conversions behind the converting source. UTF-8 pages are mostly
// ASCII, so runs of ASCII are found a word at a time and copied whole; only
// the characters from U+0080 up go through the code page, and the few that
// it cannot hold through iconv's transliteration, once per character.
#include "markup/page_decoder.h"

#include <algorithm>
#include <cstring>

#include "markup/utf8_sequence.h"
#include "platform/codepage.h"

namespace orbis {
namespace {

constexpr char Replacement = '?';
constexpr char32_t CarriageReturn = 0x0D;
constexpr char32_t LineFeed = 0x0A;
constexpr char32_t EndOfFileMark = 0x1A;

bool isHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The number of bytes below 0x80 at the start of p, up to limit.
std::size_t asciiRun(const unsigned char* p, std::size_t limit) {
  std::size_t i = 0;
  for (; i + 8 <= limit; i += 8) {
    uint64_t word;
    std::memcpy(&word, p + i, sizeof word);
    if ((word & 0x8080808080808080ULL) != 0) break;
  }
  while (i < limit && p[i] < 0x80) ++i;
  return i;
}

}  // namespace

PageDecoder::PageDecoder() = default;
PageDecoder::~PageDecoder() = default;

bool PageDecoder::start(PageEncoding encoding, const std::string& name) {
  encoding_ = encoding;
  if (encoding == PageEncoding::SingleByte && !buildSingleByteTable(name)) {
    encoding_ = PageEncoding::AsWritten;
  }
  return encoding_ != PageEncoding::AsWritten;
}

// False when the set cannot be used or changes nothing. The markup must
// keep its ASCII, so a set that moves any of it is left alone as well.
bool PageDecoder::buildSingleByteTable(const std::string& name) {
  platform::ByteMeanings meanings{};
  if (!platform::singleByteMeanings(name, meanings)) return false;
  bool changes = false;
  for (int byte = 0; byte < 256; ++byte) {
    int32_t codePoint = meanings[byte];
    if (byte < 0x80 && codePoint != byte) return false;
    // A byte the set leaves undefined changes nothing in a page that uses
    // the code page itself; where something does change, it becomes "?".
    table_[byte] = static_cast<int16_t>(codePoint < 0 ? Replacement
                                                      : encode(static_cast<char32_t>(codePoint)));
    changes = changes || (codePoint >= 0 && table_[byte] != byte);
  }
  return changes;
}

int PageDecoder::encode(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<int>(codePoint);
  if (codePoint > 0x10FFFF || isHighSurrogate(codePoint) || isLowSurrogate(codePoint)) {
    return Replacement;
  }
  if (codePoint <= 0xFFFF) {
    int byte = platform::unitToAnsiByte(static_cast<uint16_t>(codePoint));
    if (byte > 0 && byte != Replacement) return byte;
  }
  auto known = transliterated_.find(codePoint);
  if (known != transliterated_.end()) return known->second;
  if (!transliterator_) transliterator_ = std::make_unique<platform::Transliterator>();
  int byte = transliterator_->toAnsiByte(codePoint);
  transliterated_.emplace(codePoint, static_cast<int16_t>(byte));
  return byte;
}

PageDecoder::Step PageDecoder::convert(const char* in, std::size_t inLength, bool atEnd, char* out,
                                       std::size_t capacity) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(in);
  switch (encoding_) {
    case PageEncoding::Utf8:
      return convertUtf8(bytes, inLength, atEnd, out, capacity);
    case PageEncoding::Utf16LittleEndian:
    case PageEncoding::Utf16BigEndian:
      return convertUtf16(bytes, inLength, atEnd, out, capacity);
    case PageEncoding::SingleByte:
      return convertSingleByte(bytes, inLength, out, capacity);
    case PageEncoding::AsWritten:
      break;
  }
  std::size_t count = std::min(inLength, capacity);
  std::memcpy(out, in, count);
  return {count, count, false};
}

PageDecoder::Step PageDecoder::convertUtf8(const unsigned char* in, std::size_t inLength,
                                           bool atEnd, char* out, std::size_t capacity) {
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < inLength && o < capacity) {
    if (in[i] < 0x80) {
      std::size_t run = asciiRun(in + i, std::min(inLength - i, capacity - o));
      std::memcpy(out + o, in + i, run);
      i += run;
      o += run;
      continue;
    }
    Utf8Sequence sequence = readUtf8Sequence(in + i, inLength - i);
    if (sequence.length == 0) {
      if (!atEnd) break;
      out[o++] = Replacement;  // cut off by the end of the page
      i = inLength;
      break;
    }
    i += static_cast<std::size_t>(sequence.length);
    int byte = sequence.valid ? encode(sequence.codePoint) : Replacement;
    if (byte >= 0) out[o++] = static_cast<char>(byte);
  }
  return {i, o, false};
}

PageDecoder::Step PageDecoder::convertUtf16(const unsigned char* in, std::size_t inLength,
                                            bool atEnd, char* out, std::size_t capacity) {
  const bool little = encoding_ == PageEncoding::Utf16LittleEndian;
  auto unitAt = [&](std::size_t i) -> char32_t {
    return little ? static_cast<char32_t>(in[i] | (in[i + 1] << 8))
                  : static_cast<char32_t>((in[i] << 8) | in[i + 1]);
  };
  Step step;
  std::size_t i = 0;
  std::size_t o = 0;
  while (o < capacity) {
    if (i + 2 > inLength) {
      if (i < inLength && atEnd) {
        out[o++] = Replacement;  // half a unit at the end
        i = inLength;
      }
      break;
    }
    const char32_t unit = unitAt(i);
    const bool hasNext = i + 4 <= inLength;
    // A high surrogate, and a CR that may begin a CR LF pair, need the next
    // unit before they can be decided.
    if (!hasNext && !atEnd &&
        (isHighSurrogate(unit) || (foldLineEnds_ && unit == CarriageReturn))) {
      break;
    }
    if (foldLineEnds_ && unit == EndOfFileMark) {
      step.ended = true;
      i = inLength;
      break;
    }
    if (foldLineEnds_ && unit == CarriageReturn && hasNext && unitAt(i + 2) == LineFeed) {
      i += 2;
      continue;
    }
    char32_t codePoint = unit;
    std::size_t length = 2;
    if (isHighSurrogate(unit) && hasNext && isLowSurrogate(unitAt(i + 2))) {
      codePoint = 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
      length = 4;
    }
    // A surrogate left alone reaches encode, which replaces it.
    i += length;
    int byte = encode(codePoint);
    if (byte >= 0) out[o++] = static_cast<char>(byte);
  }
  step.consumed = i;
  step.produced = o;
  return step;
}

PageDecoder::Step PageDecoder::convertSingleByte(const unsigned char* in, std::size_t inLength,
                                                 char* out, std::size_t capacity) {
  std::size_t i = 0;
  std::size_t o = 0;
  for (; i < inLength && o < capacity; ++i) {
    int16_t byte = table_[in[i]];
    if (byte >= 0) out[o++] = static_cast<char>(byte);
  }
  return {i, o, false};
}

}  // namespace orbis
