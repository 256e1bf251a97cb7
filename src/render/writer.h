// The writer: the laid-out lines as the text that the editor shows, in the
// temporary file, or handed on in blocks to whoever prints it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/shared/console.h"
#include "render/document.h"

namespace orbis {

// The index of the last line of the text: lastLine (where layout ended),
// or console.rows - 4 when that is later, so that the editor's last screen
// is full.
int32_t lastLineIndexFor(int32_t lastLine, platform::ConsoleSize console);

using TextReceiver = std::function<bool(std::string_view)>;
constexpr std::size_t TextBlockSize = std::size_t{1} << 16;

// The text of a document as it grows: each line followed by a line feed,
// written once it is in the document (layout changes no line it has handed
// over), then empty lines up to lastLineIndex. write gets blocks of at
// most TextBlockSize bytes; once it returns false nothing more is written.
class TextWriter {
public:
  explicit TextWriter(TextReceiver write);
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // Writes the lines of doc that came since the last call, in whole blocks;
  // false once a write failed.
  bool writeLines(const Document& doc);
  // Writes the rest: the last lines, the empty lines up to
  // doc.lastLineIndex, and the last block; false when a write failed.
  bool finish(const Document& doc);

private:
  class Blocks;
  std::unique_ptr<Blocks> blocks_;
  std::size_t written_ = 0;  // lines written
};

// The temporary file of a document being written: opened at once
// (replacing what it held), taking blocks, closed by close().
class TemporaryFileText {
public:
  explicit TemporaryFileText(const std::string& path);
  ~TemporaryFileText();
  TemporaryFileText(const TemporaryFileText&) = delete;
  TemporaryFileText& operator=(const TemporaryFileText&) = delete;

  bool write(std::string_view block);
  // 0, or the errno value of the failure when the file could not be opened
  // or fully written.
  int close();

private:
  std::FILE* file_;
  int error_ = 0;
};

}  // namespace orbis
