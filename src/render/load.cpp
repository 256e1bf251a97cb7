// The load driver: from a file name to a written temporary file.
//
// The name is trimmed and its extension checked against the settings; the
// file is then parsed on a worker thread while this thread keeps the
// progress box up to date, watches the parse time-out, and lays out the
// part of the tree that has settled (a page of many documents settles
// document by document). Pausing and stopping the worker are cooperative:
// the parser checks a ParseControl between tokens, so a stopped parse
// leaves a consistent tree behind, which is laid out like a complete one.
//
// Memory that runs out fails the load and nothing else: the worker catches
// whatever its parse throws and reports it in the job, and load() catches
// what this thread's part throws; either way the tree and the lines go.
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "markup/converting_source.h"
#include "markup/document_parser.h"
#include "platform/clock.h"
#include "platform/thread.h"
#include "pool/chunk_pool.h"
#include "render/document.h"
#include "render/elements.h"
#include "render/layout.h"
#include "render/load_check.h"
#include "render/load_context.h"
#include "render/parse_job.h"
#include "render/progress_box.h"
#include "render/tag_table.h"
#include "render/text_flow.h"
#include "render/writer.h"

namespace orbis {

namespace {

constexpr uint32_t PollMilliseconds = 5;
// Records laid out between two looks at the progress box and the worker.
constexpr std::size_t LayoutSlice = 16384;

// Where the text goes: the caller's printer, or the temporary file; line
// by line as layout hands them over. Nothing goes anywhere without a
// temporary file, whose absence fails the load once it is laid out.
class TextOutput {
public:
  TextOutput(const Document& doc, const LoadContext& context) : doc_(doc) {
    if (doc.temporaryPath.empty()) return;
    if (context.printText != nullptr) {
      writer_ = std::make_unique<TextWriter>(*context.printText);
    } else {
      file_ = std::make_unique<TemporaryFileText>(doc.temporaryPath);
      writer_ = std::make_unique<TextWriter>(
          [file = file_.get()](std::string_view block) { return file->write(block); });
    }
  }

  void writeLines() {
    if (writer_ != nullptr) writer_->writeLines(doc_);
  }
  // Writes the rest; 0, or the errno value of a failed temporary file.
  int finish() {
    if (writer_ != nullptr) writer_->finish(doc_);
    return file_ != nullptr ? file_->close() : 0;
  }

private:
  const Document& doc_;
  std::unique_ptr<TemporaryFileText> file_;
  std::unique_ptr<TextWriter> writer_;
};

// The layout of the tree that the worker builds: it starts once something
// has settled, and takes the rest once the tree is complete. The lines go
// out as they come.
class SettledLayout {
public:
  SettledLayout(Layout& layout, Tree& tree, TextOutput& output)
      : layout_(layout), tree_(tree), output_(output) {}

  // Lays out a slice of what has settled; false when there was nothing.
  bool layOutSlice() {
    if (walk_ == nullptr) {
      if (tree_.settledEnd() == nullptr) return false;
      walk_ = std::make_unique<TreeWalk>(layout_, tree_, true);
    }
    if (walk_->layOut(LayoutSlice) == 0) return false;
    output_.writeLines();
    return true;
  }

  // Lays out the rest of the complete tree and gives its memory back.
  void finish() {
    if (walk_ == nullptr) walk_ = std::make_unique<TreeWalk>(layout_, tree_, true);
    walk_->layOut(static_cast<std::size_t>(-1));
    walk_.reset();
    tree_.clear();
  }

private:
  Layout& layout_;
  Tree& tree_;
  TextOutput& output_;
  std::unique_ptr<TreeWalk> walk_;
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

// Waits for the worker's end, updating the box every period, without
// spinning a core. After the time-out the worker is paused while the user
// is asked; the next question comes one full period after the answer. Once
// stopped, the worker only has to reach its next check, so nobody is asked
// again.
void waitForWorker(const platform::WorkerThread& worker, JobEnd& end,
                   platform::ParseControl& control, ProgressBox& box, const ReadProgress& progress,
                   uint32_t timeout, SettledLayout& layout) {
  uint32_t start = platform::tickCount();
  bool stopping = false;
  bool ended = false;
  while (true) {
    box.showParsed(progress.load(std::memory_order_relaxed));
    if (ended || worker.exitCode() != platform::StillActive) return;
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
    ended = end.waitFor(layout.layOutSlice() ? 0 : PollMilliseconds);
  }
}

// Parses source into root on a worker thread while box shows how far it got
// and layout takes what settles.
void parseWhileShowing(ByteSource& source, Tree& root, const Settings& settings,
                       const ReadProgress& progress, ProgressBox& box, SettledLayout& layout) {
  platform::ParseControl control;
  JobEnd end;
  ParseJob job{&source, &root, &settings, &control, false, &end};
  {
    platform::WorkerThread worker;
    StopOnUnwind stopOnUnwind(control);
    if (worker.start(parseWorker, &job)) {
      waitForWorker(worker, end, control, box, progress, settings.timeout, layout);
    } else {
      // No thread to be had: parse here rather than fail, without the
      // time-out (nobody could answer it while this thread is busy).
      parseWorker(&job);
      box.showParsed(progress.load(std::memory_order_relaxed));
    }
  }  // the worker is joined here
  if (job.failed) throw std::bad_alloc();
}

}  // namespace

uint32_t parseWorker(void* argument) {
  auto* job = static_cast<ParseJob*>(argument);
  if (job == nullptr || job->source == nullptr || job->root == nullptr) return 0;
  try {
    DocumentParser parser(job->resolver);
    parser.setControl(job->control);
    parser.setAttributeFilter(isLayoutAttribute);
    parser.setTagClassifier(lookupTag);
    parser.parse(job->source, job->root);
  } catch (...) {
    job->failed = true;
  }
  if (job->end != nullptr) job->end->signal();
  return 0;
}

platform::ConsoleSize layoutConsoleSize(platform::ConsoleSize measured) {
  if (measured.columns < 1) measured.columns = DefaultConsoleColumns;
  if (measured.columns < MinWrapWidth) measured.columns = MinWrapWidth;
  if (measured.rows < 1) measured.rows = DefaultConsoleRows;
  return measured;
}

LoadResult Document::load(const char* name, const LoadContext& context) {
  try {
    return loadFile(name, context);
  } catch (const std::bad_alloc&) {
    clear();
    releaseUnusedChunks();
    LoadResult result{LoadFailure::OutOfMemory, {}};
    try {
      result.message = describeOutOfMemory(name != nullptr ? name : "");
    } catch (const std::bad_alloc&) {
      // The reason stays in the failure; only its line is lost.
    }
    return result;
  }
}

LoadResult Document::loadFile(const char* name, const LoadContext& context) {
  clear();
  LoadResult checked = checkLoadable(name, context.settings, sourcePath);
  if (!checked.loaded()) return checked;

  ReadProgress ownProgress{0};
  ReadProgress& progress = context.progress != nullptr ? *context.progress : ownProgress;
  FileSource file(sourcePath.c_str(), &progress);
  if (!file.isOpen()) {  // changed since the check
    LoadResult changed = checkFile(name, sourcePath);
    if (changed.loaded())
      changed = LoadResult{LoadFailure::CannotOpen, std::string(name) + ": is empty",
                           platform::OpenProblem::Empty};
    return changed;
  }
  ConvertingSource source(file, context.settings.convertCharset);

  ProgressBox box(context.host);
  box.show();
  Layout layout(*this, context.settings, context.console.columns);
  TextOutput output(*this, context);
  {
    Tree root;
    SettledLayout settled(layout, root, output);
    parseWhileShowing(source, root, context.settings, progress, box, settled);
    // The tree can be far bigger than the page; its memory goes as the
    // layout takes it.
    settled.finish();
  }
  layout.finish();
  box.complete();
  if (temporaryPath.empty()) {
    return LoadResult{LoadFailure::CannotWrite, describeTemporaryFailure({}, temporaryError_),
                      platform::OpenProblem::None, temporaryError_};
  }
  lastLineIndex = lastLineIndexFor(layout.currentLine, context.console);
  int error = output.finish();
  // The tree's memory is free now; give back what the lines do not use, so a
  // viewer that stays open does not keep a large page's peak.
  releaseUnusedChunks();
  if (error != 0) {
    return LoadResult{LoadFailure::CannotWrite, describeTemporaryFailure(temporaryPath, error),
                      platform::OpenProblem::None, error};
  }
  return {};
}

}  // namespace orbis
