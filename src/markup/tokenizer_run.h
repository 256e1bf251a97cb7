// Working state of one MarkupParser::parse run, shared by the chunk loop
// (markup_parser.cpp) and the steps of the tokenizer states
// (tokenizer_steps.cpp). Internal to the markup library.
//
// The bytes live in one window: the current chunk, then whatever has been
// read after it. Before a chunk is processed, at least LookaheadSize bytes of
// what follows it are read when the input has them, so that constructs cut
// by a chunk boundary ("<!--", "--", "</script") are still recognised. A
// step that consumed bytes beyond the chunk leaves their count in skip; the
// next chunk starts after them.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "markup/markup_parser.h"

namespace orbis {

// Bytes after the current chunk that steps and isTagStart may look at.
constexpr int32_t LookaheadSize = 16;
// The current chunk (a carried "<" plus one read), a lookahead that falls
// just short of LookaheadSize, and room for one more read.
constexpr int32_t WindowSize = 2 * ChunkSize + LookaheadSize + 8;

// Byte classes for the scans of the steps: each scan runs until a byte of
// its stop set.
enum ByteClass : uint8_t {
  SpaceByte = 1,    // space, tab, CR, LF
  CloseByte = 2,    // ">"
  EqualsByte = 4,   // "="
  DroppedByte = 8,  // control bytes other than TAB, LF and CR
};
constexpr uint8_t NameStops = SpaceByte | CloseByte;
constexpr uint8_t AttributeNameStops = SpaceByte | CloseByte | EqualsByte;

constexpr std::array<uint8_t, 256> ByteClasses = [] {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 0x20; ++c) {
    classes[c] = DroppedByte;
  }
  classes[' '] = classes['\t'] = classes['\r'] = classes['\n'] = SpaceByte;
  classes['>'] = CloseByte;
  classes['='] = EqualsByte;
  return classes;
}();

inline bool hasClass(char c, uint8_t set) {
  return (ByteClasses[static_cast<unsigned char>(c)] & set) != 0;
}

struct MarkupParser::Run {
  Run(MarkupParser& owner, ByteSource& input, char* bytes)
      : parser(owner), source(input), window(bytes) {}

  // The chunk loop.
  void execute();
  bool fetch();
  void compactTo(int32_t begin);
  void runSteps();

  // One step of the current state at p; returns where the next step begins.
  int32_t step(int32_t p);
  int32_t stepText(int32_t p);
  int32_t stepTagOpen(int32_t p);
  int32_t stepDeclaration(int32_t p);
  int32_t stepComment(int32_t p);
  int32_t stepCommentClose(int32_t p);
  int32_t stepTagName(int32_t p);
  int32_t stepAttributeName(int32_t p);
  int32_t scanAttributeName(int32_t p);
  int32_t afterAttributeName(int32_t p);
  int32_t stepAttributeValue(int32_t p);
  int32_t stepTagClose(int32_t p);

  // Helpers of the steps.
  int at(int32_t i) const { return i < known ? static_cast<unsigned char>(window[i]) : -1; }
  bool opensComment(int32_t p) const {
    return at(p) == '<' && at(p + 1) == '!' && at(p + 2) == '-' && at(p + 3) == '-';
  }
  int32_t find(int32_t p, char byte) const;
  // The first byte at or after p (before the chunk's end) in the set.
  int32_t findClass(int32_t p, uint8_t set) const {
    while (p < chunkEnd && !hasClass(window[p], set)) {
      ++p;
    }
    return p;
  }
  int32_t skipWhiteSpace(int32_t p) const;
  int32_t scanText(int32_t p);
  // Hands over the token under construction (the element, else the text),
  // or null when there is none.
  void emitCurrent();
  void emitText();
  void emit(Token* token);
  void storeAttribute();

  MarkupParser& parser;
  ByteSource& source;
  char* window;

  int32_t filled = 0;            // bytes held in the window
  std::deque<int32_t> readEnds;  // window ends of reads not yet processed
  bool sourceEnded = false;
  int32_t chunkBegin = 0;
  int32_t chunkEnd = 0;
  int32_t known = 0;  // end of the bytes steps may look at
  int32_t skip = 0;   // bytes of the next chunk already consumed
  // Where scanText last saw a tag start, so that the step that begins there
  // need not ask isTagStart again; -1 when nothing is known.
  int32_t tagStartAt = -1;
  bool stopped = false;

  TokenizerState state = TokenizerState::Text;
  TokenizerState savedState = TokenizerState::Text;
  bool inSingleQuotes = false;
  bool inDoubleQuotes = false;
  bool attributeNameEnded = false;  // white space ended the pending name
  // The tokens under construction: an element from its tag's start on, a
  // text while its bytes gather. Both are reused from token to token.
  bool inElement = false;
  Token element{Token::Kind::Element};
  bool inText = false;
  Token text{Token::Kind::Text};
  std::string attributeName;
  std::string attributeValue;
  // The value being read began (a quote or a first byte was met), and is
  // to be kept: the filter takes the name, so a value it drops is skipped
  // rather than gathered.
  bool valueStarted = false;
  bool keepValue = false;
};

}  // namespace orbis
