// One opened HTML file and everything rendered from it: its lines of runs,
// its anchors, its title, its colours and the temporary text file that the
// editor shows.
//
// load() fills a fresh Document once: it parses the file on a worker thread,
// lays the tree out into lines (layout keeps its working state in a Layout
// of its own, which lives only during the load) and writes the temporary
// file. The temporary file exists from construction to destruction. After
// load the model does not change; the host side only reads it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "config/colors.h"
#include "markup/lower_string.h"
#include "render/link_targets.h"
#include "render/load_result.h"
#include "render/rendered_lines.h"
#include "render/rendered_text.h"

namespace orbis {

struct LoadContext;

class Document {
public:
  // Creates the temporary file; a failure leaves temporaryPath empty, and
  // load then fails saying why.
  Document();
  virtual ~Document();  // clear(), then deletes the temporary file
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Deletes every line and run and every anchor.
  void clear();

  // Renders the named file with what context gives; see load.cpp for the
  // steps. name may be null (refused at once). Memory that runs out on
  // either thread fails the load (OutOfMemory), with the lines released.
  LoadResult load(const char* name, const LoadContext& context);

  std::map<LowerString, int32_t> anchors;  // name -> line index + 1
  RenderedLines lines;
  LinkTargets targets;  // of the link runs, each kept once

  // What a run shows: its colours (for padding, the normal colours), a
  // link's active colours and target.
  ColorPair colorsOf(const TextRun& run) const {
    return run.isPadding() ? normalColors : unpackColors(run.colors);
  }
  ColorPair activeColorsOf(const TextRun& run) const { return unpackActiveColors(run.colors); }
  std::string_view targetOf(const TextRun& run) const { return targets[run.target]; }

  // The colours of ordinary text, of links and of the link under the
  // cursor, as the page left them (the settings' until a page sets its own).
  ColorPair normalColors;
  ColorPair linkColors;
  ColorPair activeLinkColors;

  std::string temporaryPath;
  std::string title;
  std::string sourcePath;  // the name as loaded, trimmed
  // Index of the last line of the written file, padding included.
  int32_t lastLineIndex = 0;

private:
  LoadResult loadFile(const char* name, const LoadContext& context);

  int temporaryError_ = 0;  // errno of a failed creation of the temporary file
};

}  // namespace orbis
