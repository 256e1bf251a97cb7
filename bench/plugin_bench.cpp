// The cost of the viewer's events: one EE_REDRAW and one Enter on a link, at
// the top and at the end of a page, timed through the plug-in's own entry
// points. The plug-in is linked in and given a minimal host: its editor is a
// window of the console's size whose position the benchmark sets, and its
// EditorControl only counts what it is sent.
//
// Usage: plugin_bench FILE...   (each FILE is opened as the command line
// "ob:FILE" would open it; 80x25 console)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/far_api.h"
#include "host/plugin_state.h"
#include "host/startup_record.h"
#include "platform/shared/console.h"

extern "C" {
[[gnu::used]] char OrbisHostFileVersion[64] = "1.70";
}

namespace {

constexpr int ConsoleColumns = 80;
constexpr int ConsoleRows = 25;
constexpr int Repetitions = 2001;

// The one editor of the benchmark host.
struct Window {
  int id = 1;
  std::string fileName;
  int line = 0;
  int column = 0;
  int top = 0;
};

Window window;
long colorCalls = 0;
long titleCalls = 0;

void countTitle(const char*) { ++titleCalls; }
const char* currentFile = nullptr;
bool measured = false;

int editorControl(int command, void* parameter) {
  if (command == ECTL_GETINFO) {
    auto* info = static_cast<EditorInfo*>(parameter);
    *info = EditorInfo{};
    info->EditorID = window.id;
    info->FileName = window.fileName.c_str();
    info->WindowSizeX = ConsoleColumns;
    info->WindowSizeY = ConsoleRows - 2;
    info->CurLine = window.line;
    info->CurPos = window.column;
    info->TopScreenLine = window.top;
    return 1;
  }
  if (command == ECTL_ADDCOLOR) ++colorCalls;
  return 1;  // positions, redraws and quitting change nothing here
}

int message(intptr_t, unsigned, const char*, const char* const*, int, int) { return 0; }
void* saveScreen(int, int, int, int) { return &window; }
void restoreScreen(void*) {}
int charTable(int, char*, int) { return -1; }
int menu(intptr_t, int, int, int, unsigned, const char*, const char*, const char*, const int*, int*,
         const FarMenuItem*, int) {
  return -1;
}

// Microseconds of one call, the median of many.
template <typename Call>
double medianMicroseconds(Call call) {
  std::vector<double> times;
  times.reserve(Repetitions);
  for (int i = 0; i < Repetitions; ++i) {
    auto start = std::chrono::steady_clock::now();
    call();
    auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
  }
  std::nth_element(times.begin(), times.begin() + Repetitions / 2, times.end());
  return times[Repetitions / 2];
}

struct Place {
  const orbis::TextRun* link = nullptr;
  std::string target;
  int line = 0;
};

// The first link piece at or after line (forward) or at or before it. Links
// to anchors in the page come first: following a link to another file
// would time the loading of that file.
Place findLink(const orbis::Document& document, int from, bool forward) {
  int count = static_cast<int>(document.lines.size());
  Place any;
  for (int i = from; i >= 0 && i < count; i += forward ? 1 : -1) {
    for (const orbis::TextRun& run : document.lines[static_cast<std::size_t>(i)].runs) {
      if (!run.isLink()) continue;
      std::string target(document.targetOf(run));
      if (target.rfind('#', 0) == 0) return {&run, target, i};
      if (any.link == nullptr) any = {&run, target, i};
    }
  }
  return any;
}

// How many links the page has (counting each text of a link on its own, as
// the viewer lights them) and how many pieces the longest has.
void chainStatistics(const orbis::Document& document, long& chains, long& longest) {
  long current = 0;
  for (const orbis::RenderedLine line : document.lines) {
    for (const orbis::TextRun& run : line.runs) {
      if (!run.isLink()) continue;
      if (!run.hasPreviousPiece()) {
        ++chains;
        current = 0;
      }
      longest = std::max(longest, ++current);
    }
  }
}

// A key that reaches the editor, so that the plug-in only saves the cursor.
INPUT_RECORD keyDown(uint16_t code) {
  INPUT_RECORD key{};
  key.EventType = KEY_EVENT;
  key.Event.KeyEvent.bKeyDown = 1;
  key.Event.KeyEvent.wRepeatCount = 1;
  key.Event.KeyEvent.wVirtualKeyCode = code;
  return key;
}

void report(const char* what, const Place& place, double redraw, double enter) {
  std::string target = place.link != nullptr ? place.target : std::string("(no link)");
  if (target.size() > 28) target = target.substr(0, 25) + "...";
  std::printf("  %-34s line %8d  redraw %8.2f us  Enter %8.2f us  (%s)\n", what, place.line, redraw,
              enter, target.c_str());
}

// Puts the screen at top and the saved cursor on the link piece, as the
// mouse would, then times a redraw and an Enter there.
void measureAt(const char* what, const Place& place, int top) {
  window.top = top;
  window.line = place.line;
  window.column = place.link != nullptr ? place.link->start : 0;
  INPUT_RECORD enter = keyDown(VK_RETURN);
  enter.Event.KeyEvent.uChar.AsciiChar = '\r';
  double enterTime = medianMicroseconds([&] { ProcessEditorInput(&enter); });
  double redrawTime = medianMicroseconds([] { ProcessEditorEvent(EE_REDRAW, EEREDRAW_ALL); });
  report(what, place, redrawTime, enterTime);
}

// Runs inside the plug-in's call of the host's modal editor, for the first
// document only; documents that following a link opened close at once.
int editor(const char* fileName, const char*, int, int, int, int, unsigned, int startLine, int) {
  if (measured) return 1;
  measured = true;
  window.fileName = fileName;
  window.line = startLine;
  const orbis::Document& document = *orbis::host::pluginState().currentDocument;
  const int lines = static_cast<int>(document.lines.size());
  const int screen = ConsoleRows - 2;
  const int lastTop = std::max(0, lines - screen);
  long chains = 0;
  long longest = 0;
  chainStatistics(document, chains, longest);
  std::printf("%s: %d lines, %ld links (pieces of one text), the longest over %ld lines\n",
              currentFile, lines, chains, longest);

  Place first = findLink(document, 0, true);
  Place last = findLink(document, lines - 1, false);
  if (first.link == nullptr) {
    std::printf("  no link in the page\n");
    return 1;
  }
  measureAt("link at the top, screen at the top", first, std::min(first.line, lastTop));
  measureAt("link at the end, screen at the end", last, std::max(0, std::min(last.line, lastTop)));
  // The saved cursor far above the screen (as after Ctrl+End): every piece
  // on the screen is asked whether it belongs to the link there.
  window.top = std::min(first.line, lastTop);
  window.line = first.line;
  window.column = first.link->start;
  INPUT_RECORD home = keyDown(VK_HOME);
  ProcessEditorInput(&home);
  window.top = lastTop;
  window.line = lastTop;
  long titlesBefore = titleCalls;
  ProcessEditorEvent(EE_REDRAW, EEREDRAW_ALL);
  long titlesLit = titleCalls - titlesBefore;
  double farRedraw = medianMicroseconds([] { ProcessEditorEvent(EE_REDRAW, EEREDRAW_ALL); });
  std::printf("  %-34s line %8d  redraw %8.2f us  (%ld pieces lit)\n",
              "cursor at the top, screen at the end", first.line, farRedraw, titlesLit);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: plugin_bench FILE...\n");
    return 2;
  }
  orbis::platform::setConsoleSizeOverride({ConsoleColumns, ConsoleRows});
  orbis::platform::setConsoleTitleListener(countTitle);
  // A module in no folder reads the built-in settings.
  PluginStartupInfo startup = orbis::host::makeStartupInfo(
      "/nowhere/Orbisline.so", 0,
      {menu, message, saveScreen, restoreScreen, editor, charTable, editorControl});
  SetStartupInfo(&startup);

  std::printf("One event of the viewer, %dx%d console, median of %d calls\n", ConsoleColumns,
              ConsoleRows, Repetitions);
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    currentFile = argv[i];
    measured = false;
    auto start = std::chrono::steady_clock::now();
    OpenPlugin(OPEN_COMMANDLINE, reinterpret_cast<intptr_t>(argv[i]));
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!measured) {
      std::printf("%s: not opened\n", argv[i]);
      status = 1;
    } else {
      std::printf("  (opening and closing took %.2f s)\n", seconds);
    }
  }
  ExitFAR();
  std::printf("ADDCOLOR calls sent: %ld\n", colorCalls);
  return status;
}
