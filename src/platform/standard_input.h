// Standard input as a whole, for a page that comes through a pipe.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace orbis::platform {

// Copies everything standard input holds, up to its end, to out (which is
// flushed), counting the bytes in copied. False with a short reason in
// error when reading or writing fails.
bool copyStandardInput(std::FILE* out, int64_t& copied, std::string& error);

// One read of standard input's bytes as they are, each system's own: the
// number read into buffer, 0 at its end, or -1 with errno set.
int64_t readStandardInput(char* buffer, std::size_t size);

}  // namespace orbis::platform
