// The attribute states of the tokenizer. A pair reaches the element only
// through addAttribute, which ignores an empty name or value, so a bare word
// such as nowrap is never stored. Names and values count up to their first
// zero byte. The filter is asked once the name is whole, at its "=".
#include "markup/tokenizer_run.h"

namespace orbis {

void MarkupParser::Run::storeAttribute() {
  if (keepValue) {
    element.addAttribute(attributeName, attributeValue);
  }
  attributeName.clear();
  attributeValue.clear();
  attributeNameEnded = false;
  valueStarted = false;
  keepValue = false;
}

int32_t MarkupParser::Run::stepAttributeName(int32_t p) {
  if (attributeNameEnded) {
    return afterAttributeName(p);
  }
  if (!attributeName.empty()) {
    return scanAttributeName(p);  // carried over from the last chunk or a comment
  }
  p = skipWhiteSpace(p);
  if (p == chunkEnd) {
    return chunkEnd;
  }
  if (window[p] == '>') {
    state = TokenizerState::TagClose;
    return p;
  }
  if (opensComment(p)) {
    // The comment scan starts at "!", so the opener's dashes already count
    // as a pair and "<!-->" is a whole comment.
    savedState = TokenizerState::AttributeName;
    state = TokenizerState::Comment;
    return p + 1;
  }
  savedState = TokenizerState::Text;
  return scanAttributeName(p);
}

int32_t MarkupParser::Run::scanAttributeName(int32_t p) {
  int32_t end = findClass(p, AttributeNameStops);
  attributeName.append(window + p, static_cast<std::size_t>(end - p));
  if (end == chunkEnd) {
    return chunkEnd;  // the name goes on in the next chunk
  }
  if (window[end] == '>') {
    storeAttribute();  // valueless: nothing is stored
    state = TokenizerState::TagClose;
    return end;
  }
  // Remembered so that white space running to the chunk's end still
  // separates this name from the next one.
  attributeNameEnded = true;
  return afterAttributeName(end);
}

// The name is complete; white space may come before "=".
int32_t MarkupParser::Run::afterAttributeName(int32_t p) {
  p = skipWhiteSpace(p);
  if (p == chunkEnd) {
    return chunkEnd;
  }
  if (window[p] == '=') {
    attributeNameEnded = false;
    keepValue =
        inElement && (parser.attributeFilter_ == nullptr || parser.attributeFilter_(attributeName));
    state = TokenizerState::AttributeValue;
    return p + 1;
  }
  if (window[p] == '>') {
    storeAttribute();
    state = TokenizerState::TagClose;
    return p;
  }
  if (opensComment(p)) {
    // The pending name survives the comment and continues after it.
    attributeNameEnded = false;
    savedState = TokenizerState::AttributeName;
    state = TokenizerState::Comment;
    return p + 1;
  }
  storeAttribute();  // a name without a value; this byte begins the next one
  return p;
}

int32_t MarkupParser::Run::stepAttributeValue(int32_t p) {
  bool quoted = inSingleQuotes || inDoubleQuotes;
  if (!valueStarted) {
    p = skipWhiteSpace(p);
    if (p == chunkEnd) {
      return chunkEnd;
    }
    if (window[p] == '>') {
      storeAttribute();
      state = TokenizerState::TagClose;
      return p;
    }
    valueStarted = true;
    if (window[p] == '\'' || window[p] == '"') {
      (window[p] == '\'' ? inSingleQuotes : inDoubleQuotes) = true;
      quoted = true;
      if (++p == chunkEnd) {
        return chunkEnd;
      }
    }
  }
  int32_t end = p;
  int32_t next = 0;
  if (quoted) {
    end = find(p, inSingleQuotes ? '\'' : '"');
    next = end + 1;
    state = TokenizerState::AttributeName;
  } else {
    end = findClass(p, NameStops);
    bool atClose = end < chunkEnd && window[end] == '>';
    next = atClose ? end : end + 1;
    state = atClose ? TokenizerState::TagClose : TokenizerState::AttributeName;
  }
  if (keepValue) {
    attributeValue.append(window + p, static_cast<std::size_t>(end - p));
  }
  if (end == chunkEnd) {
    state = TokenizerState::AttributeValue;  // the value goes on in the next chunk
    return chunkEnd;
  }
  inSingleQuotes = false;
  inDoubleQuotes = false;
  storeAttribute();
  return next;
}

}  // namespace orbis
