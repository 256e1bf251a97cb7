#include "viewer_page.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/shared/temp_file.h"
#include "platform/standard_input.h"
#include "platform/text_file.h"
#include "resources.h"

namespace orbis::app {

namespace {

constexpr const char* IndexPages[] = {"index.html", "index.htm"};

// The file needs an extension the settings accept: their first.
std::string acceptedExtension(const Settings& settings) {
  std::vector<std::string_view> accepted = acceptedExtensions(settings);
  if (accepted.empty() || accepted.front().empty()) return ".html";
  // Appended rather than "." + name, which GCC 12 at -O3 mistakes for an
  // overlapping copy.
  std::string extension = ".";
  extension += accepted.front();
  return extension;
}

std::string joinPath(const std::string& directory, const char* name) {
  bool separated = !directory.empty() && directory.back() == '/';
  return directory + (separated ? "" : "/") + name;
}

}  // namespace

PipedPage::~PipedPage() {
  if (!path_.empty()) platform::deleteTempFile(path_);
}

bool PipedPage::read(const Settings& settings, std::string& error) {
  std::string extension = acceptedExtension(settings);
  if (!platform::createTempFile(platform::TempFilePrefix, path_, extension.c_str())) {
    error = "cannot make a temporary file in " + platform::tempFileDirectory() + ": " +
            std::strerror(errno);
    return false;
  }
  std::FILE* out = platform::openTempFile(path_, platform::TempFileAccess::Write);
  if (out == nullptr) {
    error = "cannot write the temporary file " + path_ + ": " + std::strerror(errno);
    return false;
  }
  int64_t copied = 0;
  bool read = platform::copyStandardInput(out, copied, error);
  std::fclose(out);
  if (read && copied == 0) {
    error = "standard input holds no page: it is empty";
    return false;
  }
  return read;
}

bool resolvePage(const Options& options, const Settings& settings, PipedPage& piped,
                 std::string& page, std::string& error) {
  if (options.file == "-") {
    if (!piped.read(settings, error)) return false;
    page = piped.path();
    return true;
  }
  if (options.file.empty()) {
    page = welcomePage();
    if (page.empty()) error = "the welcome pages are missing (share/orbisline/index.html)";
    return !page.empty();
  }
  if (!platform::isDirectory(options.file)) {
    page = options.file;
    return true;
  }
  for (const char* name : IndexPages) {
    page = joinPath(options.file, name);
    if (platform::isRegularFile(page)) return true;
  }
  error = options.file + ": the folder has no index.html or index.htm";
  return false;
}

}  // namespace orbis::app
