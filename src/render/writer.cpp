// The writer. Lines hold their text in one piece each; it is gathered into
// blocks with the line feeds between, so that neither a file nor a terminal
// sees a call per line.
#include "render/writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/shared/temp_file.h"

namespace orbis {

// Fills blocks and passes each on when full.
class TextWriter::Blocks {
public:
  explicit Blocks(TextReceiver write) : write_(std::move(write)), block_(new char[TextBlockSize]) {}

  bool append(std::string_view text) {
    while (ok_ && !text.empty()) {
      std::size_t room = TextBlockSize - used_;
      std::size_t count = text.size() < room ? text.size() : room;
      std::memcpy(block_.get() + used_, text.data(), count);
      used_ += count;
      text.remove_prefix(count);
      if (used_ == TextBlockSize) flush();
    }
    return ok_;
  }
  bool appendFeeds(int64_t count) {
    while (ok_ && count > 0) {
      std::size_t room = TextBlockSize - used_;
      std::size_t chunk =
          count < static_cast<int64_t>(room) ? static_cast<std::size_t>(count) : room;
      std::memset(block_.get() + used_, '\n', chunk);
      used_ += chunk;
      count -= static_cast<int64_t>(chunk);
      if (used_ == TextBlockSize) flush();
    }
    return ok_;
  }
  bool flush() {
    if (ok_ && used_ > 0) ok_ = write_(std::string_view(block_.get(), used_));
    used_ = 0;
    return ok_;
  }
  bool ok() const { return ok_; }

private:
  TextReceiver write_;
  std::unique_ptr<char[]> block_;
  std::size_t used_ = 0;
  bool ok_ = true;
};

TextWriter::TextWriter(TextReceiver write) : blocks_(std::make_unique<Blocks>(std::move(write))) {}

TextWriter::~TextWriter() = default;

bool TextWriter::writeLines(const Document& doc) {
  for (; written_ < doc.lines.size() && blocks_->ok(); ++written_) {
    blocks_->append(doc.lines[written_].text);
    blocks_->append("\n");
  }
  return blocks_->ok();
}

bool TextWriter::finish(const Document& doc) {
  writeLines(doc);
  // The lines after the last one up to lastLineIndex are empty; a document
  // ends on its last line or on an empty line after it.
  int64_t lines = static_cast<int64_t>(doc.lines.size());
  int64_t last = lines > 0 ? lines - 1 : 0;
  blocks_->appendFeeds(int64_t{doc.lastLineIndex} - last);
  return blocks_->flush();
}

int32_t lastLineIndexFor(int32_t lastLine, platform::ConsoleSize console) {
  int64_t screenEnd = static_cast<int64_t>(console.rows) - 4;
  return static_cast<int32_t>(lastLine < screenEnd ? screenEnd : lastLine);
}

TemporaryFileText::TemporaryFileText(const std::string& path)
    : file_(platform::openTempFile(path, platform::TempFileAccess::Write)) {
  if (file_ == nullptr) {
    error_ = errno != 0 ? errno : ENOENT;
  } else {
    std::setvbuf(file_, nullptr, _IONBF, 0);  // the blocks are the buffer
  }
}

TemporaryFileText::~TemporaryFileText() { close(); }

bool TemporaryFileText::write(std::string_view block) {
  if (file_ == nullptr || error_ != 0) return false;
  if (std::fwrite(block.data(), 1, block.size(), file_) != block.size()) {
    error_ = errno != 0 ? errno : EIO;
  }
  return error_ == 0;
}

int TemporaryFileText::close() {
  if (file_ == nullptr) return error_;
  // A full disk or a failed flush leaves a cut-off page; the caller must not
  // show it as if it were complete.
  bool written = error_ == 0 && std::ferror(file_) == 0;
  int writeError = error_ != 0 ? error_ : errno;
  int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed == 0 && written) return 0;
  error_ = written ? errno : writeError;
  if (error_ == 0) error_ = EIO;
  return error_;
}

}  // namespace orbis
