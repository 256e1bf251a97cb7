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

namespace {

// Fills blocks and passes each on when full.
class BlockFiller {
public:
  explicit BlockFiller(const std::function<bool(std::string_view)>& write)
      : write_(write), block_(new char[TextBlockSize]) {}

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

private:
  const std::function<bool(std::string_view)>& write_;
  std::unique_ptr<char[]> block_;
  std::size_t used_ = 0;
  bool ok_ = true;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

int32_t lastLineIndexFor(int32_t lastLine, platform::ConsoleSize console) {
  int64_t screenEnd = static_cast<int64_t>(console.rows) - 4;
  return static_cast<int32_t>(lastLine < screenEnd ? screenEnd : lastLine);
}

bool writeTextBlocks(const Document& doc, const std::function<bool(std::string_view)>& write) {
  BlockFiller blocks(write);
  for (RenderedLine line : doc.lines) {
    if (!blocks.append(line.text) || !blocks.append("\n")) return false;
  }
  // The lines after the last one up to lastLineIndex are empty; a document
  // ends on its last line or on an empty line after it.
  int64_t lines = static_cast<int64_t>(doc.lines.size());
  int64_t written = lines > 0 ? lines - 1 : 0;
  if (!blocks.appendFeeds(int64_t{doc.lastLineIndex} - written)) return false;
  return blocks.flush();
}

int writeText(const Document& doc) {
  std::unique_ptr<std::FILE, FileCloser> file(
      platform::openTempFile(doc.temporaryPath, platform::TempFileAccess::Write));
  if (!file) return errno != 0 ? errno : ENOENT;
  std::setvbuf(file.get(), nullptr, _IONBF, 0);  // the blocks are the buffer
  bool written = writeTextBlocks(doc, [&](std::string_view block) {
    return std::fwrite(block.data(), 1, block.size(), file.get()) == block.size();
  });
  // A full disk or a failed flush leaves a cut-off page; the caller must not
  // show it as if it were complete.
  written = written && std::ferror(file.get()) == 0;
  int writeError = errno;
  if (std::fclose(file.release()) == 0 && written) return 0;
  return written ? errno : writeError;
}

}  // namespace orbis
