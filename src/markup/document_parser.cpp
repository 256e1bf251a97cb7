// The HTML side of the tokenizer: raw text, pre, white-space folding and
// character references, applied to each token before it enters the tree.
//
// Decoding follows an in-place rewrite of the text: find "&", read the
// reference after it, splice in its replacement, and resume the search at
// the byte after where the "&" stood. So the first byte of a replacement is
// never looked at again, but its later bytes are, and may start references
// of their own, even ones that run on into the text that follows. Doing
// that literally costs a search to the end of the text for every "&" and a
// shift of the whole tail for every splice; instead the output is built in
// a second string, and the bytes still to be examined are kept in a
// PendingText that can take replacement bytes at its front.
#include "markup/document_parser.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "markup/entity_cache.h"
#include "markup/lower_string.h"

namespace orbis {
namespace {

// The bytes of a text not yet examined: what is left of earlier replacement
// texts, followed by what is left of the original text. Bytes leave at the
// front (consume) and replacement bytes arrive at the front (prepend).
//
// The first ";" at or after the front is needed for every named reference,
// so it is tracked rather than searched for: in the original part a cursor
// that only moves forward, and for the replacement bytes (which form a stack
// in front of the original part) one entry per byte, pushed and popped with
// them.
class PendingText {
public:
  explicit PendingText(std::string original) : bytes_(std::move(original)) {}

  bool empty() const { return head_ == bytes_.size(); }
  std::string_view view() const { return std::string_view(bytes_).substr(head_); }

  void consume(std::size_t count) {
    head_ += count;
    std::size_t fromReplacements = std::min(count, semicolons_.size());
    semicolons_.resize(semicolons_.size() - fromReplacements);
    if (head_ > originalStart_) originalStart_ = head_;
  }

  void prepend(std::string_view replacement) {
    if (replacement.size() > head_) makeRoom(replacement.size());
    head_ -= replacement.size();
    std::memcpy(bytes_.data() + head_, replacement.data(), replacement.size());
    for (std::size_t i = replacement.size(); i-- > 0;) {
      std::size_t depth = semicolons_.size();
      semicolons_.push_back(replacement[i] == ';' ? depth : depth == 0 ? None : semicolons_.back());
    }
  }

  // Offset from the front of the first ";" still pending, or npos.
  std::size_t firstSemicolon() {
    if (!semicolons_.empty() && semicolons_.back() != None) {
      return originalStart_ - 1 - semicolons_.back() - head_;
    }
    if (originalSemicolon_ == None || originalSemicolon_ < originalStart_) {
      const void* found = nullptr;
      if (originalStart_ < bytes_.size()) {
        found = std::memchr(bytes_.data() + originalStart_, ';', bytes_.size() - originalStart_);
      }
      originalSemicolon_ = found ? static_cast<const char*>(found) - bytes_.data() : Never;
    }
    return originalSemicolon_ == Never ? std::string_view::npos : originalSemicolon_ - head_;
  }

private:
  static constexpr std::size_t None = static_cast<std::size_t>(-1);
  static constexpr std::size_t Never = static_cast<std::size_t>(-2);

  // Moves the pending bytes to the back of a larger buffer. The room made is
  // at least the pending size, so the copies stay linear over all prepends.
  void makeRoom(std::size_t needed) {
    std::size_t pending = bytes_.size() - head_;
    std::size_t room = std::max(needed, pending) + 16;
    std::string larger(room + pending, '\0');
    std::memcpy(larger.data() + room, bytes_.data() + head_, pending);
    std::size_t shift = room - head_;
    originalStart_ += shift;
    if (originalSemicolon_ != None && originalSemicolon_ != Never) originalSemicolon_ += shift;
    head_ = room;
    bytes_ = std::move(larger);
  }

  std::string bytes_;
  std::size_t head_ = 0;
  // Where the rest of the original text begins; bytes before it (from head_)
  // came from replacements.
  std::size_t originalStart_ = 0;
  // First ";" at or after originalStart_ once looked up: None before the
  // first look-up or once passed, Never when the original has no more.
  std::size_t originalSemicolon_ = None;
  // One entry per replacement byte, the front byte last: the depth (index in
  // this vector) of the first ";" at or after that byte among the
  // replacement bytes, or None.
  std::vector<std::size_t> semicolons_;
};

struct Reference {
  std::size_t length = 0;  // bytes after the "&"
  const std::string& replacement;
};

// Adds c to value when it is a digit of the base; false when it is none.
bool accumulateDigit(char c, bool hexadecimal, uint32_t& value) {
  if (c >= '0' && c <= '9') {
    value = value * (hexadecimal ? 16 : 10) + static_cast<uint32_t>(c - '0');
    return true;
  }
  if (!hexadecimal) return false;
  char lower = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
  if (lower < 'a' || lower > 'f') return false;
  value = value * 16 + static_cast<uint32_t>(lower - 'a' + 10);
  return true;
}

// "&#65;", "&#x41;": any number of digits, wrapping in 32 bits; the ";" is
// optional. text begins at the "#".
Reference readNumericReference(std::string_view text, const EntityCache& resolver) {
  bool hexadecimal = text.size() > 1 && (text[1] == 'x' || text[1] == 'X');
  std::size_t end = hexadecimal ? 2 : 1;
  uint32_t code = 0;
  while (end < text.size() && accumulateDigit(text[end], hexadecimal, code)) ++end;
  if (end < text.size() && text[end] == ';') ++end;
  return {end, resolver.codeText(static_cast<int32_t>(code))};
}

// "&name;" runs to the first ";" anywhere later; with none, the name is
// one byte and up to five letters after it. Pages write "AT&T" unescaped,
// which is why an unknown name simply stays as written.
Reference readNamedReference(PendingText& pending, const EntityCache& resolver) {
  std::string_view text = pending.view();
  std::size_t semicolon = pending.firstSemicolon();
  if (semicolon != std::string_view::npos) {
    return {semicolon + 1, resolver.nameText(text.substr(0, semicolon))};
  }
  std::size_t length = text.empty() ? 0 : 1;
  while (length < text.size() && length < 6 && isAsciiLetter(text[length])) ++length;
  return {length, resolver.nameText(text.substr(0, length))};
}

// Tracks the elements that change how the following text is read.
void applyElement(Token& element, DocumentParser& parser) {
  std::string_view name = element.text;
  // Most elements are none of these; the length and one letter tell.
  if (name.size() < 3 || name.size() > 7) return;
  unsigned char letter = foldCase(static_cast<unsigned char>(name[0] == '/' ? name[1] : name[0]));
  if (letter != 'p' && letter != 'x' && letter != 's') return;
  if (equalsIgnoringCase(name, "pre")) {
    parser.inPre = true;
  } else if (equalsIgnoringCase(name, "/pre") && !parser.inXmp) {
    parser.inPre = false;
  } else if (equalsIgnoringCase(name, "xmp")) {
    // xmp shows as pre in the tree; its end tag becomes "/pre" to close it.
    element.text = "pre";
    parser.inXmp = true;
  } else if (equalsIgnoringCase(name, "/xmp")) {
    element.text = "/pre";
    parser.inXmp = false;
  } else if (equalsIgnoringCase(name, "script")) {
    parser.inScript = true;
  } else if (equalsIgnoringCase(name, "/script")) {
    parser.inScript = false;
  }
}

}  // namespace

void decodeCharacterReferences(std::string& text, const EntityResolver* resolver) {
  if (resolver == nullptr || text.find('&') == std::string::npos) return;
  decodeCharacterReferences(text, EntityCache(*resolver));
}

void decodeCharacterReferences(std::string& text, const EntityCache& resolver) {
  std::size_t amp = text.find('&');
  if (amp == std::string::npos) return;

  // A replacement may hold a reference to itself; bounding the number of
  // replacements by the original size keeps such a text finite.
  std::size_t replacementsLeft = text.size();
  std::string out;
  out.reserve(text.size());
  PendingText pending(std::move(text));
  while (!pending.empty()) {
    std::string_view rest = pending.view();
    if (amp == std::string_view::npos || replacementsLeft == 0) {
      out.append(rest);
      break;
    }
    out.append(rest.substr(0, amp + 1));
    pending.consume(amp + 1);
    rest = pending.view();
    Reference reference = !rest.empty() && rest[0] == '#' ? readNumericReference(rest, resolver)
                                                          : readNamedReference(pending, resolver);
    if (!reference.replacement.empty()) {
      --replacementsLeft;
      out.back() = reference.replacement[0];
      pending.consume(reference.length);
      if (reference.replacement.size() > 1) {
        pending.prepend(std::string_view(reference.replacement).substr(1));
      }
    }
    amp = pending.view().find('&');
  }
  text = std::move(out);
}

namespace {

// The first byte at or after from that is a control byte or a blank, or
// size: eight bytes at a time, as most bytes of a text are neither.
std::size_t nextLowByte(const char* bytes, std::size_t from, std::size_t size) {
  constexpr uint64_t Ones = 0x0101010101010101ull;
  constexpr uint64_t Highs = 0x8080808080808080ull;
  while (from + 8 <= size) {
    uint64_t word = 0;
    std::memcpy(&word, bytes + from, 8);
    // A byte below 0x21 sets its high bit here (bytes from 0x80 never do);
    // bytes after such a byte may too, so the exact one is found below.
    if (((word - 0x21 * Ones) & ~word & Highs) != 0) break;
    from += 8;
  }
  while (from<size&& static_cast<unsigned char>(bytes[from])> ' ') ++from;
  return from;
}

}  // namespace

void foldWhiteSpace(std::string& text, bool& afterSpace) {
  // The folded text is never longer than what has been read, so it is
  // written over the text itself; runs that need no change stay in place.
  char* bytes = text.data();
  std::size_t size = text.size();
  std::size_t in = 0;
  std::size_t out = 0;
  while (in < size) {
    std::size_t end = nextLowByte(bytes, in, size);
    while (end < size && !isWhiteSpace(bytes[end])) end = nextLowByte(bytes, end + 1, size);
    if (out != in) std::memmove(bytes + out, bytes + in, end - in);
    out += end - in;
    in = end;
    if (in == size) break;
    bool leading = in == 0;
    while (in < size && isWhiteSpace(bytes[in])) ++in;
    if (!(leading && afterSpace)) bytes[out++] = ' ';
  }
  text.resize(out);
  if (out > 0) afterSpace = bytes[out - 1] == ' ';
}

DocumentParser::DocumentParser(const EntityResolver* resolver)
    : resolver_(resolver != nullptr ? std::make_unique<EntityCache>(*resolver) : nullptr) {}

DocumentParser::~DocumentParser() = default;

void DocumentParser::parse(ByteSource* source, Tree* target) {
  inXmp = false;
  inScript = false;
  inPre = false;
  afterSpace = true;
  MarkupParser::parse(source, target);
}

bool DocumentParser::isTagStart(const char* p, int32_t remaining) {
  // Inside raw text only the element's own end tag is a tag. Only a prefix
  // is compared, so "</xmpfoo>" is taken out of the text as well.
  if (inXmp) {
    if (remaining <= 4 || *p != '<' || !equalsIgnoringCase(std::string_view(p + 1, 4), "/xmp")) {
      return false;
    }
  } else if (inScript) {
    if (remaining <= 7 || *p != '<' || !equalsIgnoringCase(std::string_view(p + 1, 7), "/script")) {
      return false;
    }
  }
  return startsTag(p, remaining);
}

void DocumentParser::onToken(Token* token) {
  if (token == nullptr) return;
  if (token->isElement()) {
    applyElement(*token, *this);
  } else {
    if (!inPre && !inXmp) foldWhiteSpace(token->text, afterSpace);
    if (resolver_ != nullptr) decodeCharacterReferences(token->text, *resolver_);
  }
  MarkupParser::onToken(token);
}

}  // namespace orbis
