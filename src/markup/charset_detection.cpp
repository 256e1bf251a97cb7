// Encoding detection over the first bytes of a page. The meta scan is a
// small tag reader of its own, not the tokenizer: it must work on a prefix
// cut anywhere, skip comments, and see through quoted attribute values that
// hold ">", and it reads at most DeclarationScanLength bytes.
#include "markup/charset_detection.h"

#include <algorithm>
#include <array>

#include "markup/lower_string.h"
#include "markup/utf8_sequence.h"

namespace orbis {
namespace {

struct LabelGroup {
  PageEncoding encoding;
  const char* name;  // what iconv is asked for
  std::array<const char*, 12> labels;
};

// Labels that do not mean what iconv would take them for, or that iconv
// does not know. Browsers read Latin-1, ASCII and Latin-5 pages as the
// Windows pages that extend them, and so do the pages' authors, who use
// the quotes and dashes of 0x80..0x9F under those names.
const LabelGroup LabelGroups[] = {
    {PageEncoding::Utf8,
     "",
     {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "x-unicode20utf8"}},
    {PageEncoding::Utf8,
     "",
     {"utf-16", "utf-16le", "utf-16be", "unicode", "ucs-2", "csunicode", "iso-10646-ucs-2",
      "unicodefeff", "unicodefffe"}},
    {PageEncoding::SingleByte,
     "WINDOWS-1252",
     {"iso-8859-1", "iso8859-1", "iso88591", "iso_8859-1", "iso_8859-1:1987", "latin1", "l1",
      "us-ascii", "ascii", "ansi_x3.4-1968", "cp819", "ibm819"}},
    {PageEncoding::SingleByte, "WINDOWS-1252", {"csisolatin1", "iso-ir-100", "x-cp1252"}},
    {PageEncoding::SingleByte,
     "WINDOWS-1254",
     {"iso-8859-9", "iso8859-9", "iso88599", "iso_8859-9", "iso_8859-9:1989", "latin5", "l5",
      "csisolatin5", "iso-ir-148"}},
    {PageEncoding::SingleByte,
     "WINDOWS-874",
     {"tis-620", "iso-8859-11", "iso8859-11", "iso885911", "dos-874"}},
};

constexpr std::size_t LongestCharsetName = 40;

bool isBlank(char c) { return isWhiteSpace(c) || c == '\f'; }

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
  return out;
}

// The meta scan: a cursor over the head, which ends where the scan ends.
class HeadScanner {
public:
  explicit HeadScanner(std::string_view head) : head_(head) {}

  bool declaredCharset(std::string& label);

private:
  enum class Meta { Declares, DeclaresNothing, Cut };

  bool at(std::string_view prefix) const {
    return startsWithIgnoringCase(head_.substr(pos_), prefix);
  }
  bool atEnd() const { return pos_ >= head_.size(); }
  void skipBlanks() {
    while (!atEnd() && isBlank(head_[pos_])) ++pos_;
  }
  bool nextAttribute(std::string& name, std::string& value);
  std::string attributeValue();
  Meta readMeta(std::string& label);
  void skipTag();

  std::string_view head_;
  std::size_t pos_ = 0;
};

// Reads the next attribute of the tag being read; false at its ">" or at
// the end of the head.
bool HeadScanner::nextAttribute(std::string& name, std::string& value) {
  while (!atEnd() && (isBlank(head_[pos_]) || head_[pos_] == '/')) ++pos_;
  if (atEnd() || head_[pos_] == '>') return false;
  std::size_t start = pos_;
  while (!atEnd() && !isBlank(head_[pos_]) && head_[pos_] != '/' && head_[pos_] != '>' &&
         (head_[pos_] != '=' || pos_ == start)) {
    ++pos_;
  }
  name = lowered(head_.substr(start, pos_ - start));
  value.clear();
  skipBlanks();
  if (atEnd() || head_[pos_] != '=') return true;
  ++pos_;
  skipBlanks();
  value = attributeValue();
  return true;
}

std::string HeadScanner::attributeValue() {
  if (atEnd()) return {};
  char quote = head_[pos_];
  if (quote == '"' || quote == '\'') {
    std::size_t close = head_.find(quote, pos_ + 1);
    // An unclosed quote runs past the head: the tag is cut.
    std::size_t end = close == std::string_view::npos ? head_.size() : close;
    std::string value(head_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = close == std::string_view::npos ? head_.size() : close + 1;
    return value;
  }
  std::size_t start = pos_;
  while (!atEnd() && !isBlank(head_[pos_]) && head_[pos_] != '>') ++pos_;
  return std::string(head_.substr(start, pos_ - start));
}

// "charset=" inside a Content-Type value, quoted or up to ";" or a blank.
bool charsetFromContent(std::string_view content, std::string& label) {
  std::string folded = lowered(content);
  for (std::size_t at = folded.find("charset"); at != std::string::npos;
       at = folded.find("charset", at)) {
    at += 7;
    while (at < content.size() && isBlank(content[at])) ++at;
    if (at >= content.size() || content[at] != '=') continue;
    ++at;
    while (at < content.size() && isBlank(content[at])) ++at;
    if (at >= content.size()) return false;
    std::size_t end = 0;
    if (content[at] == '"' || content[at] == '\'') {
      end = content.find(content[at], at + 1);
      if (end == std::string_view::npos) return false;
      ++at;
    } else {
      end = at;
      while (end < content.size() && !isBlank(content[end]) && content[end] != ';') ++end;
    }
    label.assign(content.substr(at, end - at));
    return !label.empty();
  }
  return false;
}

HeadScanner::Meta HeadScanner::readMeta(std::string& label) {
  std::string name;
  std::string value;
  std::string charset;
  std::string httpEquiv;
  std::string content;
  bool seen[3] = {};  // the first of repeated attributes counts
  while (nextAttribute(name, value)) {
    std::string* targets[3] = {&charset, &httpEquiv, &content};
    const char* names[3] = {"charset", "http-equiv", "content"};
    for (int i = 0; i < 3; ++i) {
      if (name == names[i] && !seen[i]) {
        seen[i] = true;
        *targets[i] = value;
      }
    }
  }
  if (atEnd()) return Meta::Cut;
  if (!charset.empty()) {
    label = charset;
    return Meta::Declares;
  }
  if (equalsIgnoringCase(httpEquiv, "content-type") && charsetFromContent(content, label)) {
    return Meta::Declares;
  }
  return Meta::DeclaresNothing;
}

// Steps over a tag's name and attributes, so that a ">" inside a quoted
// value does not end it early.
void HeadScanner::skipTag() {
  while (!atEnd() && !isBlank(head_[pos_]) && head_[pos_] != '>') ++pos_;
  std::string name;
  std::string value;
  while (nextAttribute(name, value)) {
  }
}

bool HeadScanner::declaredCharset(std::string& label) {
  while ((pos_ = head_.find('<', pos_)) != std::string_view::npos) {
    if (at("<!--")) {
      std::size_t close = head_.find("-->", pos_ + 2);
      if (close == std::string_view::npos) return false;
      pos_ = close + 3;
    } else if (at("<meta") && pos_ + 5 < head_.size() &&
               (isBlank(head_[pos_ + 5]) || head_[pos_ + 5] == '/')) {
      pos_ += 5;
      Meta meta = readMeta(label);
      if (meta != Meta::DeclaresNothing) return meta == Meta::Declares;
    } else if (pos_ + 1 < head_.size() &&
               (isAsciiLetter(head_[pos_ + 1]) || head_[pos_ + 1] == '/')) {
      ++pos_;
      skipTag();
    } else if (at("<!") || at("<?")) {
      pos_ = head_.find('>', pos_);
      if (pos_ == std::string_view::npos) return false;
    } else {
      ++pos_;
    }
  }
  return false;
}

bool isCharsetNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
         c == ':';
}

}  // namespace

PageEncoding byteOrderMark(std::string_view bytes, int32_t& length) {
  length = 0;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    length = 3;
    return PageEncoding::Utf8;
  }
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    length = 2;
    return PageEncoding::Utf16LittleEndian;
  }
  if (bytes.substr(0, 2) == "\xFE\xFF") {
    length = 2;
    return PageEncoding::Utf16BigEndian;
  }
  return PageEncoding::AsWritten;
}

bool findDeclaredCharset(std::string_view head, std::string& label) {
  HeadScanner scanner(head.substr(0, DeclarationScanLength));
  return scanner.declaredCharset(label);
}

bool looksLikeUtf8(std::string_view bytes, bool complete) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  bool sawHighByte = false;
  for (std::size_t i = 0; i < size;) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    sawHighByte = true;
    Utf8Sequence sequence = readUtf8Sequence(p + i, size - i);
    if (sequence.length == 0) return !complete;
    if (!sequence.valid) return false;
    i += static_cast<std::size_t>(sequence.length);
  }
  return sawHighByte;
}

PageEncoding classifyCharsetLabel(std::string_view label, std::string& name) {
  while (!label.empty() && isBlank(label.front())) label.remove_prefix(1);
  while (!label.empty() && isBlank(label.back())) label.remove_suffix(1);
  std::string folded = lowered(label);
  for (const LabelGroup& group : LabelGroups) {
    for (const char* known : group.labels) {
      if (known != nullptr && folded == known) {
        name = group.name;
        return group.encoding;
      }
    }
  }
  // Anything else goes to iconv only when it looks like a plain name, so
  // that a page cannot hand it options such as "//TRANSLIT".
  if (folded.empty() || folded.size() > LongestCharsetName ||
      !std::all_of(folded.begin(), folded.end(), isCharsetNameByte)) {
    return PageEncoding::AsWritten;
  }
  name = folded;
  return PageEncoding::SingleByte;
}

}  // namespace orbis
