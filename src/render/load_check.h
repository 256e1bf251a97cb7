// The checks a load makes before it reads a file, and the lines that tell
// the user why a file was refused or could not be rendered.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/settings.h"
#include "render/load_result.h"

namespace orbis {

// Trims name (blanks at both ends; a leading double quote goes, and a second
// one cuts the name just before it) into path, then checks that its
// extension is accepted and that the file opens as a regular, readable,
// non-empty file (the extensions are acceptedExtensions of settings). The
// result's message names the file as name has it. For a
// null name path is left unchanged.
LoadResult checkLoadable(const char* name, const Settings& settings, std::string& path);

// Whether the file at path (the name as loaded) can be read as a page; the
// result names the file as name has it.
LoadResult checkFile(std::string_view name, const std::string& path);

// Why a load failed for want of its temporary file. Not the page's fault, so
// the page is not named: the directory is when no file could be made there
// (temporaryPath empty), else that file, with the system's reason (error,
// an errno value).
std::string describeTemporaryFailure(const std::string& temporaryPath, int error);

// The line for a file that could not be rendered for want of memory.
std::string describeOutOfMemory(std::string_view name);

}  // namespace orbis
