#include "runs_printer.h"

#include <string>

namespace orbis::app {

using console::appendQuoted;

namespace {

void appendNumber(std::string& line, int64_t value) {
  line += ' ';
  line += std::to_string(value);
}

void appendColors(std::string& line, ColorPair colors) {
  appendNumber(line, colors.background);
  appendNumber(line, colors.foreground);
}

void printRun(const Document& document, const RenderedLine& owner, const TextRun& run,
              OutputBuffer& out) {
  std::string& line = out.line();
  line += run.isLink() ? "  link" : "  text";
  appendNumber(line, run.start);
  appendNumber(line, run.end);
  appendColors(line, document.colorsOf(run));
  if (run.isLink()) appendColors(line, document.activeColorsOf(run));
  line += ' ';
  appendQuoted(line, owner.textOf(run));
  if (run.isLink()) {
    line += ' ';
    appendQuoted(line, document.targetOf(run));
  }
  if (run.hasPreviousPiece()) line += " prev";
  if (run.hasNextPiece()) line += " next";
  out.endLine();
}

void printHeader(const Document& document, OutputBuffer& out) {
  std::string& line = out.line();
  line += "title ";
  appendQuoted(line, document.title);
  out.endLine();
  line += "lastLineIndex";
  appendNumber(line, document.lastLineIndex);
  out.endLine();
  line += "normal";
  appendColors(line, document.normalColors);
  out.endLine();
  for (const auto& [name, value] : document.anchors) {
    line += "anchor ";
    appendQuoted(line, name.view());
    appendNumber(line, value);
    out.endLine();
  }
}

}  // namespace

void printRuns(const Document& document, OutputBuffer& out) {
  printHeader(document, out);
  for (std::size_t k = 0; k < document.lines.size(); ++k) {
    out.line() += "line";
    appendNumber(out.line(), static_cast<int64_t>(k));
    out.endLine();
    const RenderedLine line = document.lines[k];
    for (const TextRun& run : line.runs) printRun(document, line, run, out);
  }
}

}  // namespace orbis::app
