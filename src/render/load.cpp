// The load driver: from a file name to a written temporary file.
//
// The name is trimmed and its extension checked against the settings; the
// file is then parsed on a worker thread while this thread draws a progress
// bar and watches the parse time-out. Pausing and stopping the worker are
// cooperative: the parser checks a ParseControl between tokens, so a stopped
// parse leaves a consistent tree behind, which is laid out like a complete
// one. Without a host (loadHost() null) nothing is drawn and the time-out
// question counts as answered "Resume".
//
// Memory that runs out fails the load and nothing else: the worker catches
// whatever its parse throws and reports it in the job, and load() catches
// what this thread's part throws; either way the tree and the lines go.
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "markup/byte_source.h"
#include "markup/converting_source.h"
#include "markup/document_parser.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "pool/block_pool.h"
#include "render/console_size.h"
#include "render/document.h"
#include "render/elements.h"
#include "render/load_check.h"
#include "render/load_host.h"
#include "render/parse_job.h"

namespace orbis {

namespace {

constexpr int BarCells = 50;
constexpr int ParseCells = 40;  // the rest fill up once layout is done
constexpr char EmptyCell = '\xB1';
constexpr char FullCell = '\xDB';
constexpr uint32_t PollMilliseconds = 5;

LoadHost* currentLoadHost = nullptr;

int cellsForProgress(int32_t percent) {
  int cells = static_cast<int>(static_cast<int64_t>(percent) * ParseCells / 100);
  return cells < 0 ? 0 : (cells > ParseCells ? ParseCells : cells);
}

// The progress bar of BarCells cells, drawn over a saved screen, and the
// time-out question. The saved screen comes back at the latest when the box
// goes, also when the load fails half-way.
class ProgressBox {
public:
  explicit ProgressBox(LoadHost* host) : host_(host) {
    std::memset(bar_, EmptyCell, BarCells);
    bar_[BarCells] = '\0';
  }
  ~ProgressBox() { restore(); }
  ProgressBox(const ProgressBox&) = delete;
  ProgressBox& operator=(const ProgressBox&) = delete;

  void show() {
    if (host_ == nullptr) return;
    host_->saveScreen();
    saved_ = true;
    host_->showProgress(bar_, false);
  }

  // Redraws only when the number of filled cells changes.
  void fill(int cells) {
    if (cells == shown_) return;
    if (cells > shown_)
      std::memset(bar_ + shown_, FullCell, static_cast<std::size_t>(cells - shown_));
    shown_ = cells;
    draw();
  }

  void complete() {
    std::memset(bar_, FullCell, BarCells);
    shown_ = BarCells;
    draw();
    restore();
  }

  bool askResume() const { return host_ == nullptr || host_->askResume(); }

private:
  void draw() const {
    if (host_ != nullptr) host_->showProgress(bar_, true);
  }
  void restore() {
    if (!saved_) return;
    saved_ = false;
    host_->restoreScreen();
  }

  LoadHost* host_;
  bool saved_ = false;
  char bar_[BarCells + 1];
  int shown_ = 0;
};

// A worker must not go on parsing while this thread unwinds from a failure:
// it is stopped, so that the join that follows is quick.
class StopOnUnwind {
public:
  explicit StopOnUnwind(platform::ParseControl& control) : control_(control) {}
  ~StopOnUnwind() {
    if (std::uncaught_exceptions() > unwinding_) control_.stop();
  }
  StopOnUnwind(const StopOnUnwind&) = delete;
  StopOnUnwind& operator=(const StopOnUnwind&) = delete;

private:
  platform::ParseControl& control_;
  int unwinding_ = std::uncaught_exceptions();
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

void setLoadHost(LoadHost* host) { currentLoadHost = host; }
LoadHost* loadHost() { return currentLoadHost; }

uint32_t parseWorker(void* argument) {
  auto* job = static_cast<ParseJob*>(argument);
  if (job == nullptr || job->source == nullptr || job->root == nullptr) return 0;
  try {
    DocumentParser parser(settings);
    parser.setControl(job->control);
    parser.setAttributeFilter(isLayoutAttribute);
    parser.parse(job->source, job->root);
  } catch (...) {
    job->failed = true;
  }
  return 0;
}

bool Document::load(const char* name) {
  try {
    return loadFile(name);
  } catch (const std::bad_alloc&) {
    clear();
    releaseUnusedBlocks();
    loadFailure = LoadFailure::OutOfMemory;
    return false;
  }
}

bool Document::loadFile(const char* name) {
  clear();
  loadFailure = checkLoadable(name, sourcePath);
  if (loadFailure != LoadFailure::None) return false;

  FileSource file(sourcePath.c_str());
  if (!file.isOpen()) {  // gone since the check
    loadFailure = LoadFailure::CannotOpen;
    return false;
  }
  ConvertingSource source(file, pagesAreConverted());

  ProgressBox box(loadHost());
  box.show();
  treeRoot = std::make_unique<Node>();
  platform::ParseControl control;
  ParseJob job{&source, treeRoot.get(), &control};
  {
    platform::WorkerThread worker;
    StopOnUnwind stopOnUnwind(control);
    if (worker.start(parseWorker, &job)) {
      waitForWorker(worker, control, box);
    } else {
      // No thread to be had: parse here rather than fail, without the
      // time-out (nobody could answer it while this thread is busy).
      parseWorker(&job);
      box.fill(cellsForProgress(loadProgress.load(std::memory_order_relaxed)));
    }
  }  // the worker is joined here
  if (job.failed) throw std::bad_alloc();

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
