// Plays random key and mouse scripts in the plug-in over a few linked pages,
// through the host model with the plug-in's entry points linked in. Each
// input is one whole session: start-up, opening the first page, the script,
// leaving, ExitFAR. Afterwards no temporary file of the plug-in may be left.
//
// The first byte picks the host version and the console size; every further
// byte is one token (a few take the next bytes as a mouse cell), so that
// mutations stay meaningful scripts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "console_host/headless_front_end.h"
#include "console_host/host_file_version.h"
#include "console_host/host_model.h"
#include "console_host/linked_plugin.h"
#include "platform/shared/console.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t MostTokens = 64;
constexpr uint8_t FirstMove = 0xC0;
constexpr uint8_t FirstClick = 0xE0;

const char* const Tokens[] = {
    "Up",    "Down",  "Left",   "Right",  "PgUp",    "PgDn",      "Home",      "End",
    "Enter", "BS",    "Tab",    "Esc",    "Ins",     "Del",       "F1",        "F2",
    "F6",    "F7",    "F11",    "F12",    "x",       "Space",     "Ctrl+Home", "Ctrl+End",
    "save",  "other", "pick:0", "pick:1", "pick:-1", "Shift+Tab", "Alt+F2",    "Enter",
};

const char* const Versions[] = {"1.70", "1.64", "1.63", "1.62"};

// Pages that link to each other, to anchors near both ends, to a directory,
// to a missing file, to a name with escapes, and one link long enough to
// wrap over several lines.
const std::pair<const char*, const char*> Pages[] = {
    {"a.htm",
     "<title>A</title><a name=top></a><p><a href=b.htm>to b</a> <a href=\"c.htm#x\">to c</a> "
     "<a href=#end>end</a> <a href=#nowhere>none</a> <a href=sub>dir</a> <a href=gone.htm>gone</a> "
     "<a href=\"my+page%2Ehtm\">escaped</a> <a href=notes.txt>text</a> <a href=\"\">empty</a></p>"
     "<p><a href=b.htm>a long link whose words wrap over more than one line of the narrow "
     "console it is shown on</a></p><pre>\n1\n2\n3\n4\n5\n6\n7\n8\n9\n</pre>"
     "<a name=end></a><a href=#top>back to the top</a>"},
    {"b.htm",
     "<body bgcolor=navy text=white link=yellow><title>B</title><a href=a.htm>to a</a> "
     "<a href=c.htm>to c</a> <a href=b.htm>self</a></body>"},
    {"c.htm",
     "<title>C</title><p>c</p><pre>\n\n\n\n\n\n\n\n\n\n</pre><a name=x></a>"
     "<a href=../pages/a.htm#top>up</a>"},
    {"my page.htm", "<title>Spaced</title><a href=a.htm>home</a>"},
    {"notes.txt", "<a href=a.htm>not shown</a>"},
};

struct Scene {
  fs::path root;
  fs::path temporary;
  std::FILE* trace = nullptr;
};

void removeScene();

// The pages and a private temporary folder, made once per process and
// removed at its end.
const Scene& scene() {
  // Never destroyed: removeScene runs at exit and still needs it.
  static const Scene* made = [] {
    auto* scene = new Scene;
    std::random_device random;
    scene->root = fs::temp_directory_path() / ("orbis-host-fuzz-" + std::to_string(random()));
    scene->temporary = scene->root / "tmp";
    fs::create_directories(scene->root / "pages" / "sub");
    fs::create_directories(scene->temporary);
    for (const auto& [name, text] : Pages) std::ofstream(scene->root / "pages" / name) << text;
    setenv("TMPDIR", scene->temporary.c_str(), 1);
    scene->trace = std::fopen("/dev/null", "wb");
    std::atexit(removeScene);
    return scene;
  }();
  return *made;
}

void removeScene() {
  std::error_code ignored;
  if (scene().trace != nullptr) std::fclose(scene().trace);
  fs::remove_all(scene().root, ignored);
}

std::string scriptOf(const uint8_t* data, std::size_t size, int columns, int rows) {
  std::string script;
  std::size_t tokens = 0;
  for (std::size_t i = 0; i < size && tokens < MostTokens; ++i, ++tokens) {
    uint8_t byte = data[i];
    if (byte < FirstMove) {
      script += Tokens[byte % std::size(Tokens)];
    } else {
      int column = i + 1 < size ? data[i + 1] % (columns + 2) - 1 : 0;
      int row = i + 2 < size ? data[i + 2] % (rows + 2) - 1 : 1;
      i += 2;
      script += byte < FirstClick ? "move:" : "click:";
      script += std::to_string(column) + ',' + std::to_string(row);
    }
    script += ' ';
  }
  return script;
}

bool temporaryFilesLeft() {
  for (const auto& entry : fs::directory_iterator(scene().temporary)) {
    if (entry.path().filename().string().rfind("~ob", 0) == 0) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Scene& pages = scene();
  const int columns = 12 + data[0] % 4 * 10;
  const int rows = 6 + (data[0] >> 2) % 4 * 4;
  orbis::platform::setConsoleSizeOverride({columns, rows});
  orbis::console::setHostFileVersion(Versions[(data[0] >> 4) % std::size(Versions)]);

  std::vector<orbis::console::ScriptToken> tokens;
  std::string unknown;
  if (!orbis::console::parseKeyScript(scriptOf(data + 1, size - 1, columns, rows), tokens,
                                      unknown)) {
    std::fprintf(stderr, "the fuzz script has an unknown token: %s\n", unknown.c_str());
    std::abort();
  }
  orbis::console::TraceWriter trace(pages.trace);
  orbis::console::HeadlessFrontEnd frontEnd(std::move(tokens), &trace);
  {
    orbis::console::HostModel host(orbis::console::linkedPlugin(), frontEnd, {columns, rows});
    host.start((pages.root / "Orbisline.so").string());
    host.openFromCommandLine((pages.root / "pages" / "a.htm").string());
    host.stop();
  }
  trace.finish();
  if (temporaryFilesLeft()) {
    std::fprintf(stderr, "a temporary file was left behind\n");
    std::abort();
  }
  return 0;
}
