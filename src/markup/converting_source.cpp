// The converting source's phases: Detecting reads ahead (the inner reads
// are kept with their lengths), then either Replaying gives those reads back
// one by one and PassingThrough forwards every later call, or Converting
// runs the decoder over the bytes read ahead and over each read after them.
// Bytes that end inside a character stay at the front of the buffer until
// the next read completes them, so splits between reads change nothing.
#include "markup/converting_source.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "markup/page_decoder.h"

namespace orbis {
namespace {

void zeroFill(char* buffer, std::size_t length) {
  if (buffer != nullptr && length > 0) std::memset(buffer, 0, length);
}

}  // namespace

ConvertingSource::ConvertingSource(FileSource& file, bool enabled)
    : inner_(file), file_(&file), enabled_(enabled) {}

ConvertingSource::ConvertingSource(ByteSource& inner, bool enabled)
    : inner_(inner), file_(nullptr), enabled_(enabled) {}

ConvertingSource::~ConvertingSource() = default;

void ConvertingSource::rewind() {
  inner_.rewind();
  if (leftTextMode_) file_->setTextMode(true);
  leftTextMode_ = false;
  phase_ = Phase::Detecting;
  bytes_.clear();
  begin_ = end_ = 0;
  innerEnded_ = false;
  readLengths_.clear();
  replayed_ = 0;
  decoder_.reset();
}

bool ConvertingSource::read(char* buffer, int32_t& length) {
  if (!enabled_ || phase_ == Phase::PassingThrough) return inner_.read(buffer, length);
  if (buffer == nullptr || length <= 0 || !inner_.isOpen()) {
    zeroFill(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
    return false;
  }
  if (phase_ == Phase::Detecting) detect(length);
  return phase_ == Phase::Converting ? convert(buffer, length) : replay(buffer, length);
}

PageEncoding ConvertingSource::peekByteOrderMark() {
  if (file_ == nullptr) return PageEncoding::AsWritten;
  char start[3] = {};
  int32_t got = file_->peekStart(start, sizeof start);
  int32_t markLength = 0;
  return byteOrderMark(std::string_view(start, static_cast<std::size_t>(got)), markLength);
}

void ConvertingSource::detect(int32_t capacity) {
  PageEncoding peeked = peekByteOrderMark();
  if (peeked == PageEncoding::Utf16LittleEndian || peeked == PageEncoding::Utf16BigEndian) {
    file_->setTextMode(false);
    leftTextMode_ = true;
  }
  while (end_ < DeclarationScanLength && fetch(capacity)) {
  }
  std::string_view head(bytes_.data(), end_);
  int32_t markLength = 0;
  PageEncoding encoding = byteOrderMark(head, markLength);
  std::string label;
  std::string name;
  if (encoding == PageEncoding::AsWritten && findDeclaredCharset(head, label)) {
    encoding = classifyCharsetLabel(label, name);
  } else if (encoding == PageEncoding::AsWritten) {
    while (end_ < Utf8CheckLength && fetch(capacity)) {
    }
    std::size_t checked = std::min(end_, Utf8CheckLength);
    bool complete = innerEnded_ && end_ <= Utf8CheckLength;
    if (looksLikeUtf8(std::string_view(bytes_.data(), checked), complete)) {
      encoding = PageEncoding::Utf8;
    }
  }
  decoder_ = std::make_unique<PageDecoder>();
  decoder_->setFoldLineEnds(leftTextMode_);
  if (decoder_->start(encoding, name)) {
    begin_ = static_cast<std::size_t>(markLength);
    phase_ = Phase::Converting;
  } else {
    decoder_.reset();
    phase_ = Phase::Replaying;
  }
}

// One read of the inner source appended to the buffer; false at its end.
bool ConvertingSource::fetch(int32_t capacity) {
  if (innerEnded_) return false;
  if (phase_ == Phase::Converting && begin_ > 0) {
    std::memmove(bytes_.data(), bytes_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (bytes_.size() < end_ + static_cast<std::size_t>(capacity)) {
    bytes_.resize(end_ + static_cast<std::size_t>(capacity));
  }
  int32_t got = capacity;
  if (!inner_.read(bytes_.data() + end_, got) || got <= 0) {
    innerEnded_ = true;
    return false;
  }
  got = std::min(got, capacity);
  end_ += static_cast<std::size_t>(got);
  if (phase_ == Phase::Detecting) readLengths_.push_back(got);
  return true;
}

bool ConvertingSource::replay(char* buffer, int32_t& length) {
  if (replayed_ == readLengths_.size()) {
    // Everything read ahead is out: from here on the inner source delivers.
    std::vector<char>().swap(bytes_);
    std::vector<int32_t>().swap(readLengths_);
    phase_ = Phase::PassingThrough;
    if (innerEnded_) {
      zeroFill(buffer, static_cast<std::size_t>(length));
      return false;
    }
    return inner_.read(buffer, length);
  }
  int32_t& left = readLengths_[replayed_];
  int32_t count = std::min(left, length);
  std::memcpy(buffer, bytes_.data() + begin_, static_cast<std::size_t>(count));
  zeroFill(buffer + count, static_cast<std::size_t>(length - count));
  begin_ += static_cast<std::size_t>(count);
  left -= count;
  if (left == 0) ++replayed_;
  length = count;
  return true;
}

bool ConvertingSource::convert(char* buffer, int32_t& length) {
  const auto capacity = static_cast<std::size_t>(length);
  std::size_t produced = 0;
  while (true) {
    if (begin_ < end_ || innerEnded_) {
      PageDecoder::Step step =
          decoder_->convert(bytes_.data() + begin_, end_ - begin_, innerEnded_, buffer, capacity);
      begin_ += step.consumed;
      produced = step.produced;
      if (step.ended) {
        innerEnded_ = true;
        begin_ = end_;
      }
      if (produced > 0 || (innerEnded_ && begin_ >= end_)) break;
    }
    fetch(length);
  }
  zeroFill(buffer + produced, capacity - produced);
  if (produced == 0) return false;
  length = static_cast<int32_t>(produced);
  return true;
}

}  // namespace orbis
