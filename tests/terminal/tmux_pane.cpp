#include "tmux_pane.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

extern char** environ;

namespace orbis::testing {

namespace {

const char* const Program = ORBIS_BINARY_DIR "/orbisline";
const char* const Session = "t";

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string shellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// The environment of every tmux command: ours, in C.UTF-8, outside any
// tmux the tests themselves may run in.
std::vector<std::string> toolEnvironment() {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string text = *entry;
    std::string name = text.substr(0, text.find('='));
    if (name == "TMUX" || name == "TMUX_PANE" || name == "LC_ALL" || name == "LC_CTYPE" ||
        name == "LANG") {
      continue;
    }
    entries.push_back(text);
  }
  entries.push_back("LANG=C.UTF-8");
  return entries;
}

// Runs argv with its standard output captured and its standard error in
// errorFile; the exit status, or -1.
int runTool(const std::vector<std::string>& argv, const std::string& errorFile, std::string& out) {
  static const std::vector<std::string> environment = toolEnvironment();
  std::vector<char*> args;
  for (const std::string& argument : argv) args.push_back(const_cast<char*>(argument.c_str()));
  args.push_back(nullptr);
  std::vector<char*> env;
  for (const std::string& entry : environment) env.push_back(const_cast<char*>(entry.c_str()));
  env.push_back(nullptr);

  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t child = -1;
  int failed = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  out.clear();
  char block[4096];
  for (ssize_t n; !failed && (n = read(pipeEnds[0], block, sizeof block)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    out.append(block, static_cast<std::size_t>(n));
  }
  close(pipeEnds[0]);
  if (failed) return -1;
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// SGR parameters applied to the state of the cells that follow.
void applySgr(const std::string& parameters, Cell& style) {
  std::vector<int> values;
  std::stringstream in(parameters);
  for (std::string part; std::getline(in, part, ';');)
    values.push_back(part.empty() ? 0 : std::stoi(part));
  if (values.empty()) values.push_back(0);
  for (std::size_t i = 0; i < values.size(); ++i) {
    int value = values[i];
    if (value == 0) {
      style = Cell{};
    } else if (value == 1) {
      style.bold = true;
    } else if (value == 22) {
      style.bold = false;
    } else if (value == 7) {
      style.reverse = true;
    } else if (value == 27) {
      style.reverse = false;
    } else if (value >= 30 && value <= 37) {
      style.fg = value - 30;
    } else if (value >= 90 && value <= 97) {
      style.fg = value - 90 + 8;
    } else if (value == 39) {
      style.fg = -1;
    } else if (value >= 40 && value <= 47) {
      style.bg = value - 40;
    } else if (value >= 100 && value <= 107) {
      style.bg = value - 100 + 8;
    } else if (value == 49) {
      style.bg = -1;
    } else if ((value == 38 || value == 48) && i + 2 < values.size() && values[i + 1] == 5) {
      (value == 38 ? style.fg : style.bg) = values[i + 2];
      i += 2;
    }
  }
}

std::size_t utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::vector<ScreenRow> parseCapture(const std::string& capture) {
  std::vector<ScreenRow> rows;
  Cell style;
  std::stringstream lines(capture);
  for (std::string line; std::getline(lines, line);) {
    ScreenRow row;
    for (std::size_t i = 0; i < line.size();) {
      if (line[i] == '\x1b' && i + 1 < line.size() && line[i + 1] == '[') {
        std::size_t end = line.find_first_not_of("0123456789;:", i + 2);
        if (end == std::string::npos) break;
        if (line[end] == 'm') applySgr(line.substr(i + 2, end - i - 2), style);
        i = end + 1;
        continue;
      }
      Cell cell = style;
      std::size_t length =
          std::min(utf8Length(static_cast<unsigned char>(line[i])), line.size() - i);
      cell.text = line.substr(i, length);
      row.push_back(cell);
      i += length;
    }
    rows.push_back(row);
  }
  return rows;
}

TmuxPane::TmuxPane(std::filesystem::path folder) : folder_(std::move(folder)) {
  socket_ = (folder_ / "tmux.socket").string();
  for (const char* name : {"tmp", "home", "config", "registry"}) {
    std::filesystem::create_directories(folder_ / name);
  }
}

TmuxPane::~TmuxPane() { stopServer(); }

bool TmuxPane::available() {
  std::string out;
  return runTool({"tmux", "-V"}, "/dev/null", out) == 0;
}

std::string TmuxPane::tmux(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"tmux", "-u", "-S", socket_});
  std::string out;
  int status = runTool(arguments, (folder_ / "tmux.err").string(), out);
  if (status != 0) lastError_ = arguments[4] + ": " + readFile(folder_ / "tmux.err");
  return out;
}

// Two shells run the program. The outer one leads the terminal's session,
// as a login shell would: a hung-up terminal ends it, and the kernel then
// hangs up the program too. It outlives the program otherwise and keeps the
// pane, and the terminal state the program left, until the server ends.
// The inner one survives every signal, to write the program's status.
std::string TmuxPane::writeScript(const Launch& launch) {
  std::string tmuxCommand = "tmux -S " + shellQuoted(socket_);
  std::string folder = folder_.string();
  std::string program = "trap : HUP INT QUIT TERM\n";
  if (launch.fileSizeLimit > 0)
    program += "ulimit -f " + std::to_string(launch.fileSizeLimit) + "\n";
  if (!launch.standardInput.empty()) program += "cat " + shellQuoted(launch.standardInput) + " | ";
  program +=
      "env -u LC_ALL -u LC_CTYPE -u TMUX -u ORBISLINE_PLUGIN -u ORBISLINE_CODEPAGE"
      " -u ORBISLINE_OEMCP -u ORBISLINE_TIMING LANG=C.UTF-8";
  program += " TMPDIR=" + shellQuoted(folder + "/tmp") + " HOME=" + shellQuoted(folder + "/home") +
             " XDG_CONFIG_HOME=" + shellQuoted(folder + "/config") +
             " ORBISLINE_REGISTRY=" + shellQuoted(folder + "/registry");
  for (const auto& [name, value] : launch.environment)
    program += " " + name + "=" + shellQuoted(value);
  // The innermost shell leaves its process id, which exec hands to the program.
  program += " sh -c 'echo $$ > " + shellQuoted(folder + "/pid") + "; exec \"$@\"' sh " +
             shellQuoted(Program);
  for (const std::string& argument : launch.arguments) program += " " + shellQuoted(argument);
  if (!launch.stderrToPane) program += " 2>" + shellQuoted(folder + "/stderr");
  program += "\necho $? > " + shellQuoted(folder + "/status.part") + " && mv " +
             shellQuoted(folder + "/status.part") + " " + shellQuoted(folder + "/status") + "\n";
  std::ofstream(folder_ / "program.sh", std::ios::binary) << program;

  std::string session = "trap : INT QUIT TERM\n";
  if (launch.captureStream) session += tmuxCommand + " wait-for go\n";
  session += "printf '\\033]2;%s\\033\\\\' " + shellQuoted(TitleBeforeStart) + "\n";
  session += "sh " + shellQuoted(folder + "/program.sh") + "\n";
  session += "exec " + tmuxCommand + " wait-for never\n";
  std::filesystem::path path = folder_ / "session.sh";
  std::ofstream(path, std::ios::binary) << session;
  return path.string();
}

bool TmuxPane::start(const Launch& launch) {
  std::filesystem::path conf = folder_ / "tmux.conf";
  std::ofstream(conf) << "set -g default-terminal " << shellQuoted(launch.terminal) << "\n"
                      << "set -g status off\nset -g history-limit 10\n";
  std::string script = writeScript(launch);
  lastError_.clear();
  std::string out;
  int status = runTool({"tmux", "-u", "-S", socket_, "-f", conf.string(), "new-session", "-d", "-s",
                        Session, "-x", std::to_string(launch.width), "-y",
                        std::to_string(launch.height), "sh " + shellQuoted(script)},
                       (folder_ / "tmux.err").string(), out);
  if (status != 0) {
    lastError_ = "tmux new-session: " + readFile(folder_ / "tmux.err");
    return false;
  }
  running_ = true;
  if (launch.captureStream) {
    std::string stream = (folder_ / "stream").string();
    tmux({"pipe-pane", "-O", "-t", Session,
          "cat > " + shellQuoted(stream) + "; touch " + shellQuoted(stream + ".done")});
    tmux({"wait-for", "-S", "go"});
  }
  return lastError_.empty();
}

std::vector<std::string> TmuxPane::rows() {
  std::vector<std::string> lines;
  std::stringstream in(tmux({"capture-pane", "-p", "-N", "-t", Session}));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string TmuxPane::screen() {
  std::string text;
  for (const std::string& row : rows()) text += row + "\n";
  return text;
}

std::vector<ScreenRow> TmuxPane::cells() {
  return parseCapture(tmux({"capture-pane", "-p", "-e", "-N", "-t", Session}));
}

std::string TmuxPane::format(const std::string& text) {
  std::string value = tmux({"display-message", "-p", "-t", Session, text});
  if (!value.empty() && value.back() == '\n') value.pop_back();
  return value;
}

void TmuxPane::keys(const std::vector<std::string>& names) {
  for (const std::string& name : names) tmux({"send-keys", "-t", Session, name});
}

void TmuxPane::type(const std::string& text) { tmux({"send-keys", "-t", Session, "-l", text}); }

void TmuxPane::sendBytes(const std::string& bytes) {
  std::vector<std::string> arguments = {"send-keys", "-t", Session, "-H"};
  char hex[3];
  for (unsigned char byte : bytes) {
    std::snprintf(hex, sizeof hex, "%02x", byte);
    arguments.push_back(hex);
  }
  tmux(arguments);
}

void TmuxPane::mouse(int button, int column, int row, bool release) {
  if (format("#{mouse_sgr_flag}") == "1") {
    sendBytes("\x1b[<" + std::to_string(button) + ";" + std::to_string(column + 1) + ";" +
              std::to_string(row + 1) + (release ? "m" : "M"));
    return;
  }
  int code = release ? 3 : button;
  sendBytes(std::string("\x1b[M") + static_cast<char>(32 + code) + static_cast<char>(33 + column) +
            static_cast<char>(33 + row));
}

void TmuxPane::mouseMove(int column, int row) { mouse(35, column, row, false); }

void TmuxPane::mouseClick(int column, int row) {
  mouse(0, column, row, false);
  mouse(0, column, row, true);
}

void TmuxPane::resize(int width, int height) {
  tmux({"resize-window", "-t", Session, "-x", std::to_string(width), "-y", std::to_string(height)});
}

bool TmuxPane::signalProgram(int signal) {
  std::string pid = readFile(folder_ / "pid");
  return !pid.empty() && kill(static_cast<pid_t>(std::stol(pid)), signal) == 0;
}

void TmuxPane::closePane() { tmux({"kill-pane", "-t", Session}); }

bool TmuxPane::waitUntil(const std::function<bool()>& check, std::chrono::seconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (!check()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::optional<int> TmuxPane::waitForExit(std::chrono::seconds limit) {
  std::filesystem::path status = folder_ / "status";
  if (!waitUntil([&] { return std::filesystem::exists(status); }, limit)) return std::nullopt;
  return std::stoi(readFile(status));
}

std::string TmuxPane::stderrText() const { return readFile(folder_ / "stderr"); }

std::string TmuxPane::outputStream() {
  stopServer();
  std::filesystem::path done = folder_ / "stream.done";
  waitUntil([&] { return std::filesystem::exists(done); });
  return readFile(folder_ / "stream");
}

int TmuxPane::temporaryFilesLeft() const {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_ / "tmp")) {
    if (entry.path().filename().string().rfind("~ob", 0) == 0) ++count;
  }
  return count;
}

void TmuxPane::stopServer() {
  if (!running_) return;
  running_ = false;
  std::string out;
  runTool({"tmux", "-S", socket_, "kill-server"}, "/dev/null", out);
  // The hang-up ends the program; one that would not end must not outlive
  // the test. Its status is written once it has ended.
  std::string pid = readFile(folder_ / "pid");
  if (pid.empty() || waitForExit(std::chrono::seconds(10))) return;
  kill(static_cast<pid_t>(std::stol(pid)), SIGKILL);
}

}  // namespace orbis::testing
