// The load driver: from a file name to a written temporary file.
//
// The name is trimmed and its extension checked against the settings; the
// file is then parsed on a worker thread while this thread draws a progress
// bar and watches the parse time-out. Pausing and stopping the worker are
// cooperative: the parser checks a ParseControl between tokens, so a stopped
// parse leaves a consistent tree behind, which is laid out like a complete
// one. Without a host (loadHost() null) nothing is drawn and the time-out
// question counts as answered "Resume".
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "host/far_api.h"
#include "markup/byte_source.h"
#include "markup/document_parser.h"
#include "pool/block_pool.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "render/console_size.h"
#include "render/document.h"
#include "render/elements.h"
#include "render/parse_job.h"

namespace orbis {

namespace {

constexpr int BarCells = 50;
constexpr int ParseCells = 40;  // the rest fill up once layout is done
constexpr char EmptyCell = '\xB1';
constexpr char FullCell = '\xDB';
constexpr uint32_t PollMilliseconds = 5;

// Blanks (not tabs) come off both ends; a leading double quote goes, and a
// second one cuts the name just before it.
std::string trimName(const char* name) {
  std::string_view text(name);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '"') {
    text.remove_prefix(1);
    std::size_t quote = text.find('"');
    if (quote != std::string_view::npos) text = text.substr(0, quote);
  }
  return std::string(text);
}

LoadFailure checkExtension(const std::string& name) {
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return LoadFailure::NoExtension;
  std::string_view extension = std::string_view(name).substr(dot + 1);
  for (std::string_view word : acceptedExtensions()) {
    if (equalsIgnoringCase(word, extension)) return LoadFailure::None;
  }
  return LoadFailure::ExtensionNotAccepted;
}

int cellsForProgress(int32_t percent) {
  int cells = static_cast<int>(static_cast<int64_t>(percent) * ParseCells / 100);
  return cells < 0 ? 0 : (cells > ParseCells ? ParseCells : cells);
}

// The box "Orbisline" with a bar of BarCells cells, drawn over a saved
// screen, and the time-out question.
class ProgressBox {
public:
  explicit ProgressBox(const PluginStartupInfo* host) : host_(host) {
    std::memset(bar_, EmptyCell, BarCells);
    bar_[BarCells] = '\0';
  }

  void show() {
    if (host_ == nullptr) return;
    if (host_->SaveScreen != nullptr) screen_ = host_->SaveScreen(0, 0, -1, -1);
    draw(0);
  }

  // Redraws only when the number of filled cells changes.
  void fill(int cells) {
    if (cells == shown_) return;
    if (cells > shown_) std::memset(bar_ + shown_, FullCell, static_cast<std::size_t>(cells - shown_));
    shown_ = cells;
    draw(FMSG_KEEPBACKGROUND);
  }

  void complete() {
    std::memset(bar_, FullCell, BarCells);
    shown_ = BarCells;
    draw(FMSG_KEEPBACKGROUND);
    if (host_ != nullptr && host_->RestoreScreen != nullptr) host_->RestoreScreen(screen_);
    screen_ = nullptr;
  }

  // True for "Resume"; "Terminate" and a box closed without a choice are
  // false.
  bool askResume() const {
    if (host_ == nullptr || host_->Message == nullptr) return true;
    static const char* const items[] = {"Warning", "Oops! Time Out ... please report about",
                                        "Resume", "Terminate"};
    return host_->Message(host_->ModuleNumber, FMSG_WARNING, nullptr, items, 4, 2) == 0;
  }

private:
  void draw(unsigned flags) const {
    if (host_ == nullptr || host_->Message == nullptr) return;
    const char* const items[] = {"Orbisline", bar_};
    host_->Message(host_->ModuleNumber, flags, nullptr, items, 2, 0);
  }

  const PluginStartupInfo* host_;
  void* screen_ = nullptr;
  char bar_[BarCells + 1];
  int shown_ = 0;
};

// Polls the worker until it ends, without spinning a core. After the
// time-out the worker is paused while the user is asked; the next question
// comes one full period after the answer. Once stopped, the worker only has
// to reach its next check, so nobody is asked again.
void waitForWorker(const platform::WorkerThread& worker, platform::ParseControl& control,
                   ProgressBox& box) {
  uint32_t timeout = settings->timeout;
  uint32_t start = platform::tickCount();
  bool stopping = false;
  while (true) {
    uint32_t code = worker.exitCode();
    box.fill(cellsForProgress(loadProgress.load(std::memory_order_relaxed)));
    if (code != platform::StillActive) return;
    if (!stopping && platform::tickCount() - start >= timeout) {
      control.pause();
      if (box.askResume()) {
        control.resume();
      } else {
        control.stop();
        stopping = true;
      }
      start = platform::tickCount();
    }
    // The worker's tree takes memory fast; backing it here, on a thread
    // that would only sleep, spares the worker the page faults.
    prepareBlocks();
    platform::sleepMilliseconds(PollMilliseconds);
  }
}

}  // namespace

std::vector<std::string_view> acceptedExtensions() {
  std::string_view exts = settings->exts;
  std::vector<std::string_view> words;
  for (std::size_t blank = exts.find(' '); blank != std::string_view::npos; blank = exts.find(' ')) {
    words.push_back(exts.substr(0, blank));
    exts.remove_prefix(blank + 1);
  }
  return words;
}

uint32_t parseWorker(void* argument) {
  auto* job = static_cast<ParseJob*>(argument);
  if (job != nullptr && job->source != nullptr && job->root != nullptr) {
    DocumentParser parser(settings);
    parser.setControl(job->control);
    parser.setAttributeFilter(isLayoutAttribute);
    parser.parse(job->source, job->root);
  }
  return 0;
}

bool Document::load(const char* name) {
  clear();
  loadFailure = LoadFailure::None;
  if (name == nullptr) {
    loadFailure = LoadFailure::NoName;
    return false;
  }
  sourcePath = trimName(name);
  loadFailure = checkExtension(sourcePath);
  if (loadFailure != LoadFailure::None) return false;

  FileSource source(sourcePath.c_str());
  if (!source.isOpen()) {
    loadFailure = LoadFailure::CannotOpen;
    return false;
  }

  ProgressBox box(loadHost());
  box.show();
  treeRoot = std::make_unique<Node>();
  platform::ParseControl control;
  ParseJob job{&source, treeRoot.get(), &control};
  {
    platform::WorkerThread worker;
    if (worker.start(parseWorker, &job)) {
      waitForWorker(worker, control, box);
    } else {
      // No thread to be had: parse here rather than fail, without the
      // time-out (nobody could answer it while this thread is busy).
      parseWorker(&job);
      box.fill(cellsForProgress(loadProgress.load(std::memory_order_relaxed)));
    }
  }  // the worker is joined here

  endsInSpace = true;
  inLink = false;
  preformatted = false;
  column = 0;
  currentLine = 0;
  skipCount = 0;
  indent = 0;
  breakCount = TopOfDocument;
  title = "No Title";
  alignment = Alignment::Left;
  currentHref = {};
  wrapWidth = renderConsoleSize().columns;
  layOutTree();

  box.complete();
  // The tree can be far bigger than the page; it is not needed for writing.
  treeRoot.reset();
  bool written = writeText();
  // The tree's memory is free now; give back what the lines do not use, so a
  // viewer that stays open does not keep a large page's peak.
  releaseUnusedBlocks();
  if (!written) {
    loadFailure = LoadFailure::CannotWrite;
    return false;
  }
  return true;
}

}  // namespace orbis
