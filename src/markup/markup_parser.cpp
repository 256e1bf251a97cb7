// The chunk loop of the tokenizer: reads the source ChunkSize bytes at a
// time into the window, holds a final "<" back for the next chunk, keeps a
// few bytes of lookahead after each chunk, and runs the state steps over it.
#include "markup/markup_parser.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "markup/lower_string.h"
#include "markup/tokenizer_run.h"
#include "platform/memory.h"
#include "platform/thread.h"

namespace orbis {

namespace {

struct WindowRelease {
  void operator()(char* block) const { platform::globalFree(block); }
};

}  // namespace

MarkupParser::MarkupParser() = default;
MarkupParser::~MarkupParser() = default;

void MarkupParser::parse(ByteSource* source, Tree* target) {
  if (target == nullptr) {
    return;
  }
  std::unique_ptr<char, WindowRelease> window(
      static_cast<char*>(platform::globalAllocZeroed(WindowSize)));
  if (window == nullptr) {
    return;
  }
  beginTree(target);
  if (source != nullptr) {
    Run run(*this, *source, window.get());
    run.execute();
  } else {
    onToken(nullptr);
  }
  endTree();
}

void MarkupParser::Run::execute() {
  source.rewind();
  if (!fetch()) {
    parser.onToken(nullptr);
    return;
  }
  int32_t begin = 0;
  while (!stopped) {
    compactTo(begin);
    chunkBegin = 0;
    chunkEnd = readEnds.front();
    readEnds.pop_front();
    // A final "<" waits for the next chunk, so that isTagStart always sees
    // the byte after it; at the end of the input it is lost.
    if (window[chunkEnd - 1] == '<') {
      --chunkEnd;
    }
    while (!sourceEnded && filled - chunkEnd < LookaheadSize) {
      fetch();
    }
    known = std::min(filled, chunkEnd + LookaheadSize);
    runSteps();
    if (readEnds.empty()) {
      break;  // the source has ended
    }
    begin = chunkEnd;
  }
  if (!stopped) {
    emitCurrent();
  }
}

bool MarkupParser::Run::fetch() {
  assert(filled + ChunkSize <= WindowSize);
  int32_t length = ChunkSize;
  if (!source.read(window + filled, length) || length <= 0) {
    // A source that claims success without bytes would loop for ever.
    sourceEnded = true;
    return false;
  }
  filled += std::min(length, ChunkSize);
  readEnds.push_back(filled);
  return true;
}

void MarkupParser::Run::compactTo(int32_t begin) {
  if (begin == 0) {
    return;
  }
  std::memmove(window, window + begin, static_cast<std::size_t>(filled - begin));
  filled -= begin;
  for (int32_t& end : readEnds) {
    end -= begin;
  }
}

void MarkupParser::Run::runSteps() {
  int32_t p = chunkBegin + skip;
  tagStartAt = -1;
  while (p < chunkEnd && !stopped) {
    // Control bytes other than TAB, LF and CR are dropped where a step begins.
    if (hasClass(window[p], DroppedByte)) {
      ++p;
      continue;
    }
    p = step(p);
  }
  skip = p > chunkEnd ? p - chunkEnd : 0;
}

void MarkupParser::Run::emitCurrent() {
  if (inElement) {
    inElement = false;
    emit(&element);
    element.clear();
  } else if (inText) {
    emitText();
  } else {
    emit(nullptr);
  }
}

void MarkupParser::Run::emitText() {
  if (!inText) {
    return;
  }
  inText = false;
  emit(&text);
  text.clear();
}

void MarkupParser::Run::emit(Token* token) {
  parser.onToken(token);
  if (parser.control_ != nullptr && !parser.control_->checkpoint()) {
    stopped = true;
  }
}

}  // namespace orbis
