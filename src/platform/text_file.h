// Low-level file input with the text-mode conversion of the Windows C
// runtime, which the markup reader was designed around:
//  - each CR LF pair is delivered as a single LF, a lone CR stays;
//  - the first 0x1A byte ends the data for good (until rewind);
//  - a CR that ends the raw bytes of one read looks at the next byte of the
//    file: before an LF the CR is dropped and the LF begins the next read
//    (unless this read would then deliver nothing, in which case it delivers
//    the LF); before anything else the CR is delivered and that byte begins
//    the next read.
// Only regular files open; directories, FIFOs and devices fail to open, so
// that /dev/zero or a pipe cannot hang the viewer. A name with bytes from
// 0x80 up that does not open as given is tried once more read as a name in
// the ANSI code page, converted to the file system's UTF-8: names that come
// out of converted pages are in the code page.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace orbis::platform {

class TextFile {
public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // Opens path read-only. On failure returns false and leaves errno-style
  // detail in lastError() (a short human-readable reason).
  bool open(const char* path);
  bool isOpen() const { return descriptor_ != -1; }
  void close();

  // Size of the file on disk, in bytes, as seen when it was opened.
  int64_t length() const { return length_; }

  // Reads up to capacity raw bytes and converts them; returns the number of
  // bytes delivered, 0 at the end of the data or on a read error.
  int32_t read(char* buffer, int32_t capacity);

  // Goes back to the first byte; the end marked by 0x1A is forgotten.
  bool rewind();

  // Off: later reads deliver the bytes as they are, for encodings in which
  // CR, LF and 0x1A bytes can be parts of other characters. On by default.
  void setTextMode(bool on) { textMode_ = on; }

  // Copies up to capacity bytes from the start of the file into buffer,
  // without conversion and without moving the read position; returns the
  // count (0 when not open or on an error).
  int32_t peekStart(char* buffer, int32_t capacity) const;

  const std::string& lastError() const { return lastError_; }
  // The errno value of the last failed open; 0 when the file opened but is
  // not a regular file.
  int lastErrorNumber() const { return lastErrorNumber_; }

private:
  // Reads until capacity bytes have come or the file ends, through
  // buffer_; the count, or -1 on an error.
  int64_t readFully(char* out, int64_t capacity);

  int descriptor_ = -1;
  int64_t length_ = 0;
  // The system is asked for large blocks however little a read wants: a
  // large page is read a few kilobytes at a time.
  std::unique_ptr<char[]> buffer_;
  int64_t buffered_ = 0;  // bytes of buffer_ read from the file
  int64_t taken_ = 0;     // of those, the ones delivered
  bool ended_ = false;    // a 0x1A byte has been met
  int pendingByte_ = -1;  // a looked-ahead byte that begins the next read
  bool textMode_ = true;
  std::string lastError_;
  int lastErrorNumber_ = 0;
};

// Why a file cannot be read as a document.
enum class OpenProblem { None, Missing, NotRegular, Empty, Other };

struct OpenCheck {
  OpenProblem problem = OpenProblem::None;
  // For the user: the system's reason ("No such file or directory"), "is a
  // directory", "is not a regular file", "is empty"; empty when it can be
  // read.
  std::string reason;
  int error = 0;  // the errno value of Missing and Other
};

// Whether path opens as a regular file for reading that is not empty (the
// viewer refuses an empty file like a missing one), and why not.
OpenCheck checkOpenable(const char* path);

// checkOpenable's reason.
std::string describeOpenFailure(const char* path);

// True when path names a regular file (through links); a directory, a
// missing file or one that cannot be looked at is none.
bool isRegularFile(const std::string& path);

// True when path names a directory (through links).
bool isDirectory(const std::string& path);

}  // namespace orbis::platform
