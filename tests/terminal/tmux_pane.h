// Runs the built orbisline executable in a real terminal, as a person
// would: a pane of a private tmux server (its own socket and configuration,
// a fixed size, C.UTF-8, a private TMPDIR, XDG_CONFIG_HOME and registry), driven with
// send-keys and read back with capture-pane and tmux's formats.
//
// The program runs under a small shell that sets the pane's title to
// "before" first, keeps running after the program ends (so that the
// terminal's state as the program left it can still be asked for) and
// writes the program's exit status to a file (128 + N when signal N killed
// it). Everything waits by polling with a generous deadline: the tests run
// on loaded machines and under the sanitizers.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orbis::testing {

inline const char* const TitleBeforeStart = "before";

// One character cell of a captured screen, with its colours as terminal
// colour numbers (0-255, -1 for the terminal's default).
struct Cell {
  std::string text;  // the character, UTF-8
  int fg = -1;
  int bg = -1;
  bool bold = false;
  bool reverse = false;
};
using ScreenRow = std::vector<Cell>;

// The cells of a capture made with capture-pane -p -e -N.
std::vector<ScreenRow> parseCapture(const std::string& capture);

// How the program is started in the pane.
struct Launch {
  std::vector<std::string> arguments;      // after the program's name
  std::string terminal = "tmux-256color";  // the pane's TERM
  int width = 80;
  int height = 25;
  std::string standardInput;   // a file piped in with cat; empty: the terminal
  bool stderrToPane = false;   // else to the file stderr() reads
  bool captureStream = false;  // the pane's whole output stream, from the first byte
  int fileSizeLimit = 0;       // ulimit -f for the program, in 512-byte blocks; 0: none
  std::vector<std::pair<std::string, std::string>> environment{};
};

class TmuxPane {
public:
  static constexpr std::chrono::seconds Deadline{45};

  // folder: a private scratch folder for the socket, the script, TMPDIR
  // (folder/tmp) and the like; it must outlive the pane.
  explicit TmuxPane(std::filesystem::path folder);
  ~TmuxPane();  // ends the server and everything in it
  TmuxPane(const TmuxPane&) = delete;
  TmuxPane& operator=(const TmuxPane&) = delete;

  // True when tmux can be run at all.
  static bool available();

  // Starts the server with the program in its one pane. False (with the
  // reason in lastError()) when tmux would not start.
  bool start(const Launch& launch);

  // What the pane shows: one string per row, without colours, blanks kept.
  std::vector<std::string> rows();
  std::string screen();  // rows() joined with line feeds, for messages
  std::vector<ScreenRow> cells();

  // The value of a tmux format for the pane, e.g. "#{alternate_on}".
  std::string format(const std::string& text);

  // tmux key names (Down, Enter, BSpace, F7, S-F7, C-c, q...), each a key.
  void keys(const std::vector<std::string>& names);
  // Text typed as it is.
  void type(const std::string& text);
  // The mouse at a cell (0-based column and row): a move with no button,
  // or a left click (press then release), encoded as the program asked
  // for (SGR or the classic form).
  void mouseMove(int column, int row);
  void mouseClick(int column, int row);
  void resize(int width, int height);
  // Sends a signal to the program itself.
  bool signalProgram(int signal);
  // Closes the pane, as closing a terminal window does.
  void closePane();

  // Polls until check() holds; false when the deadline passed.
  bool waitUntil(const std::function<bool()>& check, std::chrono::seconds limit = Deadline);
  bool waitForText(const std::string& text) {
    return waitUntil([&] { return screen().find(text) != std::string::npos; });
  }

  // The program's exit status once it has ended (128 + N for signal N);
  // nothing when it is still running at the deadline.
  std::optional<int> waitForExit(std::chrono::seconds limit = Deadline);

  // What the program wrote to stderr (when it did not go to the pane).
  std::string stderrText() const;
  // The pane's output stream since the start (Launch::captureStream); ends
  // the server first so that the stream is complete.
  std::string outputStream();

  const std::filesystem::path& folder() const { return folder_; }
  // The "~ob" files left in the program's TMPDIR.
  int temporaryFilesLeft() const;
  const std::string& lastError() const { return lastError_; }

private:
  std::string tmux(std::vector<std::string> arguments);
  void sendBytes(const std::string& bytes);
  void mouse(int button, int column, int row, bool release);
  std::string writeScript(const Launch& launch);
  void stopServer();

  std::filesystem::path folder_;
  std::string socket_;
  bool running_ = false;
  bool streamDone_ = false;
  std::string lastError_;
};

}  // namespace orbis::testing
