// The page the viewer's command line names: a file; a directory's index
// page; the welcome pages when none is named; or a page read from standard
// input ("-"), kept in a private temporary file.
#pragma once

#include <string>

#include "config/settings.h"
#include "options.h"

namespace orbis::app {

// A page that came through standard input, kept in a private temporary
// file (registered for removal on signals) for as long as this lives.
class PipedPage {
public:
  PipedPage() = default;
  ~PipedPage();
  PipedPage(const PipedPage&) = delete;
  PipedPage& operator=(const PipedPage&) = delete;

  // Copies standard input into a file whose extension is the first that
  // settings accept. False with a one-line reason in error.
  bool read(const Settings& settings, std::string& error);
  const std::string& path() const { return path_; }

private:
  std::string path_;
};

// The file to show for options.file. False with a one-line reason in error.
bool resolvePage(const Options& options, const Settings& settings, PipedPage& piped,
                 std::string& page, std::string& error);

}  // namespace orbis::app
