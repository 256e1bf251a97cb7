#include "diagnostic_modes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string_view>

#include "console_host/text_output.h"
#include "markup/byte_source.h"
#include "markup/converting_source.h"
#include "markup/document_parser.h"
#include "platform/process.h"
#include "platform/text_file.h"
#include "render/document.h"
#include "render/load_context.h"
#include "render/writer.h"
#include "report.h"
#include "runs_printer.h"
#include "terminal_text.h"
#include "tree_printer.h"

namespace orbis::app {

namespace {

// Flushes what a mode printed: 0, or 1 with a message when it could not
// be written.
int flushOutput(console::OutputBuffer& out) {
  return out.flush() ? 0 : reportOutputFailure(out.error());
}

// Loads file into document; false (and the reason on stderr) when the load
// refuses it. With printText the text goes there as the page is laid out
// (as the temporary file would hold it), otherwise nowhere.
bool loadDocument(const Options& options, const std::string& file, const Settings& settings,
                  Document& document, const TextReceiver& printText) {
  LoadContext context{settings, layoutConsoleSize(consoleSizeFor(options))};
  context.printText = &printText;
  LoadResult result = document.load(file.c_str(), context);
  if (!result.loaded()) reportError(result.message);
  return result.loaded();
}

}  // namespace

int runHelp() {
  console::OutputBuffer out(stdout);
  out.line() += usageText();
  return flushOutput(out);
}

int runTree(const Options& options, const Settings& settings) {
  // Any readable file will do but an empty one, which every mode refuses as
  // the viewer does.
  std::string reason = platform::describeOpenFailure(options.file.c_str());
  if (!reason.empty()) {
    reportError(options.file + ": " + reason);
    return 1;
  }
  Tree root;
  // The same text as the viewer reads: converted the same way.
  FileSource page(options.file.c_str());
  ConvertingSource source(page, settings.convertCharset);
  if (source.isOpen()) {
    DocumentParser parser(&settings);
    parser.parse(&source, &root);
  }
  console::OutputBuffer out(stdout);
  printTree(root, out);
  return flushOutput(out);
}

int runDump(const Options& options, const std::string& file, const Settings& settings) {
  if (options.raw && platform::isTerminal(platform::StandardStream::Output)) {
    reportError("--raw does not write to a terminal; send the output to a file or a pipe");
    return 2;
  }
  DumpStyle style = options.raw ? DumpStyle::Raw : safeDumpStyle();
  Document document;
  console::OutputBuffer out(stdout);
  TextReceiver print = [&](std::string_view block) {
    appendShown(out.line(), block, style);
    out.endBlock();
    return out.error() == 0;
  };
  if (!loadDocument(options, file, settings, document, print)) return 1;
  return flushOutput(out);
}

int runBatch(const Options& options, const Settings& settings, PageMode mode) {
  std::ifstream list(options.batchFile, std::ios::binary);
  if (!list) {
    reportError("cannot read the list of pages " + options.batchFile + ": " + std::strerror(errno));
    return 1;
  }
  int worst = 0;
  Options page = options;
  for (std::string name; std::getline(list, name);) {
    if (!name.empty() && name.back() == '\r') name.pop_back();
    if (name.empty()) continue;
    {
      console::OutputBuffer out(stdout);
      out.line() += "==> ";
      console::appendEscaped(out.line(), name);
      out.line() += " <==";
      out.endLine();
      if (!out.flush()) return reportOutputFailure(out.error());
    }
    page.file = name;
    worst = std::max(worst, mode(page, settings));
  }
  if (list.bad()) {
    reportError("cannot read the list of pages " + options.batchFile);
    return 1;
  }
  return worst;
}

int runRuns(const Options& options, const Settings& settings) {
  Document document;
  TextReceiver discard = [](std::string_view) { return false; };
  if (!loadDocument(options, options.file, settings, document, discard)) return 1;
  console::OutputBuffer out(stdout);
  printRuns(document, out);
  return flushOutput(out);
}

}  // namespace orbis::app
