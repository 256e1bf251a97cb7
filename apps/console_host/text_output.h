// Output of the printed formats (--tree, --runs, the trace): quoted texts
// with their escapes, collected and written in large blocks.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace orbis::console {

// Appends text with backslash and double quote written as \\ and \", LF, CR
// and TAB as \n, \r and \t, any other byte below 0x20 or from 0x7F up as
// \xHH (upper-case hex), and every other byte as it is.
void appendEscaped(std::string& out, std::string_view text);

// Appends a double quote, the escaped text and a double quote.
void appendQuoted(std::string& out, std::string_view text);

// Text is appended to line(); every endLine() adds a line feed and writes
// the collected bytes once they fill a block, as endBlock() does without the
// line feed. The stream is not owned.
class OutputBuffer {
public:
  explicit OutputBuffer(std::FILE* stream) : stream_(stream) {}
  ~OutputBuffer() { flush(); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  std::string& line() { return pending_; }
  void endLine();
  void endBlock();
  // Writes what is left and flushes the stream; false when any write failed.
  bool flush();
  // The errno of the first failed write, 0 while none failed.
  int error() const { return error_; }

private:
  void write();

  std::FILE* stream_;
  std::string pending_;
  int error_ = 0;
};

}  // namespace orbis::console
