#include "diagnostic_modes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string_view>
#include <vector>

#include "console_host/text_output.h"
#include "markup/byte_source.h"
#include "markup/converting_source.h"
#include "markup/document_parser.h"
#include "platform/process.h"
#include "platform/shared/temp_file.h"
#include "platform/text_file.h"
#include "render/document.h"
#include "render/load_context.h"
#include "report.h"
#include "runs_printer.h"
#include "terminal_text.h"
#include "tree_printer.h"

namespace orbis::app {

namespace {

constexpr std::size_t CopyBlockSize = 1 << 16;

// Flushes what a mode printed: 0, or 1 with a message when it could not
// be written.
int flushOutput(console::OutputBuffer& out) {
  return out.flush() ? 0 : reportOutputFailure(out.error());
}

// Copies the temporary file to stdout in style; 0, or 1 with the reason on
// stderr.
int copyToOutput(const std::string& path, DumpStyle style) {
  std::FILE* file = platform::openTempFile(path, platform::TempFileAccess::Read);
  if (file == nullptr) {
    reportError("cannot read the temporary file " + path + ": " + std::strerror(errno));
    return 1;
  }
  std::vector<char> block(CopyBlockSize);
  console::OutputBuffer out(stdout);
  std::size_t got;
  while (out.error() == 0 && (got = std::fread(block.data(), 1, block.size(), file)) > 0) {
    appendShown(out.line(), std::string_view(block.data(), got), style);
    out.endBlock();
  }
  int readError = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (!out.flush()) return reportOutputFailure(out.error());
  if (readError == 0) return 0;
  reportError("cannot read the temporary file " + path + ": " + std::strerror(readError));
  return 1;
}

// Loads file into document; false (and the reason on stderr) when the load
// refuses it.
bool loadDocument(const Options& options, const std::string& file, const Settings& settings,
                  Document& document) {
  LoadContext context{settings, layoutConsoleSize(consoleSizeFor(options))};
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
  Node root;
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
  if (!loadDocument(options, file, settings, document)) return 1;
  return copyToOutput(document.temporaryPath, style);
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
  if (!loadDocument(options, options.file, settings, document)) return 1;
  console::OutputBuffer out(stdout);
  printRuns(document, out);
  return flushOutput(out);
}

}  // namespace orbis::app
