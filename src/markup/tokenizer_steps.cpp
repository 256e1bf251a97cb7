// One function per tokenizer state. Each step starts at a byte of the
// current chunk and returns where the next step begins: past what it
// consumed (it advanced), at the same byte with a new state (it stayed), or
// at or beyond the chunk's end (the chunk is finished; the state and the
// token under construction carry over). Scans stop at the chunk's end; only
// the multi-byte tests ("!--", "<!--", "--") and isTagStart look at the
// lookahead after it. Names, values and text grow by one append per step.
#include <cstring>

#include "markup/tokenizer_run.h"

namespace orbis {

int32_t MarkupParser::Run::step(int32_t p) {
  switch (state) {
    case TokenizerState::Text:
      return stepText(p);
    case TokenizerState::TagOpen:
      return stepTagOpen(p);
    case TokenizerState::Declaration:
      return stepDeclaration(p);
    case TokenizerState::Comment:
      return stepComment(p);
    case TokenizerState::CommentClose:
      return stepCommentClose(p);
    case TokenizerState::TagName:
      return stepTagName(p);
    case TokenizerState::AttributeName:
      return stepAttributeName(p);
    case TokenizerState::AttributeValue:
      return stepAttributeValue(p);
    case TokenizerState::TagClose:
      return stepTagClose(p);
  }
  return chunkEnd;
}

int32_t MarkupParser::Run::find(int32_t p, char byte) const {
  const void* hit = std::memchr(window + p, byte, static_cast<std::size_t>(chunkEnd - p));
  return hit == nullptr ? chunkEnd : static_cast<int32_t>(static_cast<const char*>(hit) - window);
}

int32_t MarkupParser::Run::skipWhiteSpace(int32_t p) const {
  while (p < chunkEnd && hasClass(window[p], SpaceByte)) {
    ++p;
  }
  return p;
}

// The next tag start at or after p, or the chunk's end.
int32_t MarkupParser::Run::scanText(int32_t p) {
  while ((p = find(p, '<')) < chunkEnd) {
    if (parser.isTagStart(window + p, known - p)) {
      return p;
    }
    ++p;
  }
  return chunkEnd;
}

int32_t MarkupParser::Run::stepText(int32_t p) {
  bool tagStart = p == tagStartAt || parser.isTagStart(window + p, known - p);
  tagStartAt = -1;
  if (tagStart) {
    emitCurrent();
    state = TokenizerState::TagOpen;
    // The byte after a tag's "<" is a letter, "!" or "/", never one that
    // the start of a step would drop, so the tag goes on at once.
    return p + 1 < chunkEnd && !stopped ? stepTagOpen(p + 1) : p + 1;
  }
  int32_t end = scanText(p + 1);
  // A text already long when a new chunk continues it is handed over, so
  // that no token has to hold a whole document.
  if (text.text.size() > TextSplitLength) {
    emitText();
  } else if (end < chunkEnd) {
    tagStartAt = end;  // no token was handed over since the scan saw it
  }
  inText = true;
  text.text.append(window + p, static_cast<std::size_t>(end - p));
  return end;
}

int32_t MarkupParser::Run::stepTagOpen(int32_t p) {
  if (window[p] != '!') {
    state = TokenizerState::TagName;
    return hasClass(window[p], DroppedByte) ? p : stepTagName(p);
  }
  if (at(p + 1) == '-' && at(p + 2) == '-') {
    savedState = TokenizerState::Text;
    state = TokenizerState::Comment;
    return p + 3;
  }
  state = TokenizerState::Declaration;
  return p + 1;
}

int32_t MarkupParser::Run::stepDeclaration(int32_t p) {
  int32_t close = find(p, '>');
  if (close == chunkEnd) {
    return chunkEnd;
  }
  state = TokenizerState::Text;
  return close + 1;
}

int32_t MarkupParser::Run::stepComment(int32_t p) {
  while ((p = find(p, '-')) < chunkEnd) {
    if (at(p + 1) == '-') {
      state = TokenizerState::CommentClose;
      return p + 2;
    }
    ++p;
  }
  return chunkEnd;
}

// After "--": white space and dashes may precede the closing ">". Any other
// byte reopens the comment at that byte. (Rescanning the dashes just passed
// cannot find a pair that leads anywhere else, and would be quadratic in a
// long run of dashes.)
int32_t MarkupParser::Run::stepCommentClose(int32_t p) {
  while (p < chunkEnd && (hasClass(window[p], SpaceByte) || window[p] == '-')) {
    ++p;
  }
  if (p == chunkEnd) {
    return chunkEnd;
  }
  if (window[p] == '>') {
    state = savedState;
    return p + 1;
  }
  state = TokenizerState::Comment;
  return p;
}

int32_t MarkupParser::Run::stepTagName(int32_t p) {
  inElement = true;
  int32_t end = findClass(p, NameStops);
  std::string& name = element.text;
  name.append(window + p, static_cast<std::size_t>(end - p));
  if (end == chunkEnd) {
    return chunkEnd;
  }
  if (window[end] == '>') {
    // A tag without attributes: what the attribute and closing steps would
    // do at this ">", at once.
    emitCurrent();
    state = TokenizerState::Text;
    return end + 1;
  }
  state = TokenizerState::AttributeName;
  bool stay = !name.empty() && name[0] == '/';
  return stay ? end : end + 1;
}

int32_t MarkupParser::Run::stepTagClose(int32_t p) {
  int32_t close = window[p] == '>' ? p : find(p, '>');  // mostly right here
  if (close == chunkEnd) {
    return chunkEnd;
  }
  emitCurrent();
  state = TokenizerState::Text;
  return close + 1;
}

}  // namespace orbis
