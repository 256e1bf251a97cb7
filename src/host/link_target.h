// Link targets: the href of a page, split into the parts of a URL, joined to
// the current document's directory when relative, and decoded ("+" and "%"
// escapes) into the name the loader opens. Nothing is fetched: an address
// with a scheme is rebuilt and handed to the loader like any other name, and
// the loader can only open files. No "." or ".." segment is removed and no
// separator converted; the file system resolves them.
#pragma once

#include <string>
#include <string_view>

namespace orbis::host {

// The parts of a URL, each empty when absent. Every part but the scheme and
// the network location keeps its delimiter, so buildUrl(parseUrl(t)) gives t
// back for texts without a network location and for the schemes written
// with "://".
struct UrlParts {
  std::string scheme;    // without its ":"
  std::string netLoc;    // between a leading "//" and the next "/"
  std::string path;      // what remains
  std::string params;    // from the first ";" of what remains after the query
  std::string query;     // from the first "?" after the network location
  std::string fragment;  // from the first "#"
  friend bool operator==(const UrlParts&, const UrlParts&) = default;
};

// Takes the fragment off first, then the scheme, the network location, the
// query and the params; the rest is the path. A drive letter reads as a
// scheme (C:\docs\a.htm is scheme C, path \docs\a.htm).
UrlParts parseUrl(std::string_view text);

// The parts in order; the scheme is followed by "://" for http, ftp, file and
// news (in any case), by ":" otherwise.
std::string buildUrl(const UrlParts& parts);

// Whether "+" in a target stands for a blank, as in an address, or for
// itself, as in a file name such as c++.html.
enum class Plus { Blank, Kept };

// "+" becomes a blank (unless kept) and "%" with up to two hexadecimal
// digits after it the byte they make (so "%" at the very end is a zero
// byte); any other "%" stays as it is.
std::string decodeUrl(std::string_view text, Plus plus = Plus::Blank);

// The name to load for a link target found in the document loaded from
// sourcePath. A relative target (no scheme, no network location) gives its
// decoded path appended to the source path's directory (up to its last '/'
// or '\'; none: the current directory), which keeps the directory's own
// bytes; its params, query and fragment are dropped. Any other target is
// rebuilt and decoded whole.
std::string resolveTarget(std::string_view target, std::string_view sourcePath,
                          Plus plus = Plus::Blank);

// True when the target names something other than a file: it has a scheme
// (http:, mailto:, file: and every other), other than a drive letter.
bool hasScheme(const UrlParts& parts);

}  // namespace orbis::host
