// One opened HTML file and everything rendered from it: its lines of runs,
// its anchors, its title and the temporary text file that the editor shows.
//
// load() fills a fresh Document once: it parses the file on a worker thread,
// lays the tree out into lines (keeping its working state in the layout
// fields below) and writes the temporary file. The temporary file exists
// from construction to destruction. After load the model does not change.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/colors.h"
#include "markup/lower_string.h"
#include "markup/node.h"
#include "render/rendered_text.h"

namespace orbis {

// breakCount before anything was placed or broken.
constexpr int32_t TopOfDocument = 0xFFFFFF;

// Why load() returned false, for the executables' error messages.
enum class LoadFailure {
  None,
  NoName,                // null name
  NoExtension,           // no "." in the name
  ExtensionNotAccepted,  // not among the words of Settings::exts
  CannotOpen,            // missing, not a regular file, unreadable or empty
  CannotWrite,           // the temporary file could not be written
  OutOfMemory,           // memory ran out while the page was read or laid out
};

class Document {
public:
  // Creates the temporary file ("~ob" prefix) and takes the colours from the
  // current settings.
  Document();
  virtual ~Document();  // clear(), then deletes the temporary file
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // Deletes the tree (if any) and every line and run.
  void clear();

  // Renders the named file; true when the temporary file was written. See
  // load.cpp for the steps. name may be null (false at once). Memory that
  // runs out on either thread makes the load fail (OutOfMemory), with the
  // lines and the tree released.
  bool load(const char* name);

  // --- text flow (text_flow.cpp) ---
  void newLine();
  void lineBreak(bool soft);
  void paragraphBreak(bool lineOnly);
  void setAlignment(Alignment value);
  void applyAlign(const ElementNode& element, Alignment defaultAlignment);
  void appendRun(std::unique_ptr<TextRun> run);
  void flowRun(std::unique_ptr<TextRun> run);
  void trimJoinSpace(std::string& text, bool titleFlag);

  // --- element dispatch and handlers (dispatch.cpp, elements.cpp) ---
  void layOutChildren(const Node* node);
  void layOutElement(const ElementNode* element);
  // Lays out the children of treeRoot like layOutChildren, destroying each
  // node as soon as it has been laid out; treeRoot is left without children.
  void layOutTree();

  // --- writer (writer.cpp) ---
  bool writeText();
  static void numberRuns(RenderedLine& line, int32_t index);

  // --- the model, read by the host side after load ---
  std::map<LowerString, int32_t> anchors;  // name -> line index + 1
  // A deque: a large page has hundreds of thousands of lines, and growing
  // one never copies them all or holds two copies at once. Lines and their
  // run lists take the tree's memory as layout frees it.
  std::deque<RenderedLine, BlockAllocator<RenderedLine>> lines;
  int32_t editorId = -1;

  // --- layout working state ---
  int32_t currentLine = 0;
  int32_t column = 0;
  int32_t wrapWidth = 80;
  int32_t skipCount = 0;
  int32_t indent = 0;
  int32_t breakCount = TopOfDocument;
  bool titlePending = true;
  bool inLink = false;
  bool preformatted = false;
  bool endsInSpace = true;
  Alignment alignment = Alignment::Left;

  ColorPair normalColors;
  ColorPair linkColors;
  ColorPair activeLinkColors;

  std::string temporaryPath;
  std::string title;
  std::unique_ptr<Node> treeRoot;
  SharedText currentHref;
  std::string sourcePath;
  int32_t lastLineIndex = 0;

  LoadFailure loadFailure = LoadFailure::None;
  // Why the temporary file could not be made (the path is then empty) or
  // written: an errno value, 0 when nothing failed.
  int temporaryError = 0;

private:
  bool loadFile(const char* name);  // load() without its handling of exhausted memory
};

// The extensions load() accepts (compared without regard to case): the
// words of the settings' exts, each ended by one blank, so text after the
// last blank is not a word and two blanks in a row make an empty word. The
// views point into the settings.
std::vector<std::string_view> acceptedExtensions();

}  // namespace orbis
