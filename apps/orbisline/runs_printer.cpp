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

void printRun(const TextRun& run, OutputBuffer& out) {
  std::string& line = out.line();
  const LinkRun* link = asLink(&run);
  line += link != nullptr ? "  link" : "  text";
  appendNumber(line, run.start);
  appendNumber(line, run.end);
  appendColors(line, run.colors);
  if (link != nullptr) appendColors(line, link->activeColors);
  line += ' ';
  appendQuoted(line, run.text);
  if (link != nullptr) {
    line += ' ';
    appendQuoted(line, link->target.str());
  }
  if (run.previousPiece != nullptr) line += " prev";
  if (run.nextPiece != nullptr) line += " next";
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
    for (const auto& run : document.lines[k].runs) printRun(*run, out);
  }
}

}  // namespace orbis::app
