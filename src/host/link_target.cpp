#include "host/link_target.h"

#include <cctype>
#include <cstdint>

#include "markup/lower_string.h"
#include "markup/number.h"
#include "platform/paths.h"

namespace orbis::host {

namespace {

bool isSchemeCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '.' || c == '-';
}

// Moves what follows the first delimiter of rest (the delimiter included)
// into part.
void splitAt(std::string_view& rest, char delimiter, std::string& part) {
  std::size_t at = rest.find(delimiter);
  if (at == std::string_view::npos) return;
  part = rest.substr(at);
  rest = rest.substr(0, at);
}

bool takesSlashes(const std::string& scheme) {
  for (const char* known : {"http", "ftp", "file", "news"}) {
    if (equalsIgnoringCase(scheme, known)) return true;
  }
  return false;
}

}  // namespace

UrlParts parseUrl(std::string_view text) {
  UrlParts parts;
  std::string_view rest = text;
  splitAt(rest, '#', parts.fragment);
  if (rest.empty()) return parts;

  std::size_t prefix = 0;
  while (prefix < rest.size() && isSchemeCharacter(rest[prefix])) ++prefix;
  if (prefix < rest.size() && rest[prefix] == ':') {
    parts.scheme = rest.substr(0, prefix);
    rest.remove_prefix(prefix + 1);
  }

  if (rest.size() > 1 && rest.substr(0, 2) == "//") {
    std::size_t slash = rest.find('/', 2);
    if (slash != std::string_view::npos) {
      parts.netLoc = rest.substr(2, slash - 2);
      rest.remove_prefix(slash);
    } else {
      parts.netLoc = rest.substr(2);
      rest = {};
    }
  }
  splitAt(rest, '?', parts.query);
  splitAt(rest, ';', parts.params);
  parts.path = rest;
  return parts;
}

std::string buildUrl(const UrlParts& parts) {
  std::string text = parts.scheme;
  if (!parts.scheme.empty()) text += takesSlashes(parts.scheme) ? "://" : ":";
  text += parts.netLoc;
  text += parts.path;
  text += parts.params;
  text += parts.query;
  text += parts.fragment;
  return text;
}

std::string decodeUrl(std::string_view text, Plus plus) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '+' && plus == Plus::Blank) {
      decoded += ' ';
      continue;
    }
    if (c != '%') {
      decoded += c;
      continue;
    }
    std::string_view digits = text.substr(i + 1, 2);
    uint32_t value = 0;
    if (parseNumber("0x" + std::string(digits), false, value)) {
      decoded += static_cast<char>(value & 0xFF);
      i += digits.size();
    } else {
      decoded += '%';
    }
  }
  return decoded;
}

std::string resolveTarget(std::string_view target, std::string_view sourcePath, Plus plus) {
  UrlParts parts = parseUrl(target);
  if (!parts.scheme.empty() || !parts.netLoc.empty()) return decodeUrl(buildUrl(parts), plus);
  // The directory is a name on this system, not an address: its bytes stay
  // as they are, so that a "+" or "%" in it still names it.
  UrlParts base = parseUrl(platform::directoryOf(sourcePath));
  base.path += decodeUrl(parts.path, plus);
  return buildUrl(base);
}

bool hasScheme(const UrlParts& parts) {
  bool driveLetter =
      parts.scheme.size() == 1 && std::isalpha(static_cast<unsigned char>(parts.scheme[0])) != 0;
  return !parts.scheme.empty() && !driveLetter;
}

}  // namespace orbis::host
