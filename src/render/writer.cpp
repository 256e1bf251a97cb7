// The writer: gives every run its final line and columns, puts the blanks of
// right and centre alignment in front of their lines, and writes the lines
// to the temporary file that the editor shows. Line and column numbers in
// the model are therefore exactly those of the file. Short documents are
// padded with empty lines so that the editor's last screen is full.
// Each piece of a link learns the first piece of its chain here.
#include "render/writer.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/shared/temp_file.h"

namespace orbis {

namespace {

constexpr std::size_t OutputBufferSize = 1 << 16;

// Blanks in front of a line so that it ends in the last column (Right) or
// leaves equal room on both sides, the odd cell going to the right (Center).
int64_t alignmentPadding(Alignment alignment, int64_t lastColumn, int columns) {
  switch (alignment) {
    case Alignment::Right:
      return columns - lastColumn - 1;
    case Alignment::Center:
      return (columns - lastColumn - 1) / 2;
    case Alignment::Left:
      break;
  }
  return 0;
}

void alignLine(RenderedLine& line, int32_t index, int columns, ColorPair colors) {
  Alignment alignment = line.alignment;
  line.alignment = Alignment::Left;
  numberRuns(line, index);
  if (line.runs.empty()) return;
  int64_t padding = alignmentPadding(alignment, line.runs.back()->end, columns);
  if (padding <= 0) return;
  line.runs.insert(
      line.runs.begin(),
      std::make_unique<TextRun>(colors, std::string(static_cast<std::size_t>(padding), ' ')));
  numberRuns(line, index);
}

void writeLine(std::FILE* file, const RenderedLine& line) {
  for (const auto& run : line.runs) {
    if (!run->text.empty()) std::fwrite(run->text.data(), 1, run->text.size(), file);
  }
  std::fputc('\n', file);
}

void writeEmptyLines(std::FILE* file, int64_t count) {
  static const std::string feeds(256, '\n');
  while (count > 0) {
    std::size_t chunk =
        count < static_cast<int64_t>(feeds.size()) ? static_cast<std::size_t>(count) : feeds.size();
    std::fwrite(feeds.data(), 1, chunk, file);
    count -= static_cast<int64_t>(chunk);
  }
}

// The first piece of a link's chain. The piece before lies on an earlier
// line, which has been written (and so marked) already.
const LinkRun* firstPieceOf(const LinkRun& link) {
  const LinkRun* previous = asLink(link.previousPiece);
  if (previous == nullptr || previous == &link) return &link;
  if (previous->firstPiece != nullptr) return previous->firstPiece;
  const LinkRun* first = previous;
  for (const LinkRun* before = asLink(first->previousPiece); before != nullptr && before != first;
       before = asLink(first->previousPiece)) {
    first = before;
  }
  return first;
}

void markLinkChains(RenderedLine& line) {
  for (auto& run : line.runs) {
    if (LinkRun* link = asLink(run.get())) link->firstPiece = firstPieceOf(*link);
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void numberRuns(RenderedLine& line, int32_t index) {
  int32_t column = 0;
  for (auto& run : line.runs) {
    int32_t length = static_cast<int32_t>(run->text.size());
    run->line = index;
    run->start = column;
    run->end = column + length - 1;
    column += length;
  }
}

int writeText(Document& doc, int32_t lastLine, platform::ConsoleSize console) {
  std::unique_ptr<std::FILE, FileCloser> file(
      platform::openTempFile(doc.temporaryPath, platform::TempFileAccess::Write));
  if (!file) return errno != 0 ? errno : ENOENT;
  std::setvbuf(file.get(), nullptr, _IOFBF, OutputBufferSize);

  for (std::size_t k = 0; k < doc.lines.size(); ++k) {
    int32_t index = static_cast<int32_t>(k);
    alignLine(doc.lines[k], index, console.columns, doc.normalColors);
    markLinkChains(doc.lines[k]);
    writeLine(file.get(), doc.lines[k]);
  }

  int64_t last = lastLine;
  int64_t screenEnd = static_cast<int64_t>(console.rows) - 4;
  if (last < screenEnd) {
    writeEmptyLines(file.get(), screenEnd - last);
    last = screenEnd;
  }
  doc.lastLineIndex = static_cast<int32_t>(last);

  // A full disk or a failed flush leaves a cut-off page; the caller must not
  // show it as if it were complete.
  bool written = std::ferror(file.get()) == 0;
  int writeError = errno;
  if (std::fclose(file.release()) == 0 && written) return 0;
  return written ? errno : writeError;
}

}  // namespace orbis
