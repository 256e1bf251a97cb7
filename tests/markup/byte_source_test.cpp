#include "markup/byte_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "platform/scoped_environment.h"

namespace orbis {
namespace {

using orbis::testing::ScratchFolder;

std::string writeFile(const ScratchFolder& folder, const std::string& bytes) {
  std::string path = (folder.path() / "source.html").string();
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

struct Read {
  int32_t count;
  int32_t progress;
};

// Reads to the end in requests of 4096 bytes; the count delivered and the
// progress published after each read.
// Where the sources under test publish how far they read.
ReadProgress published{0};

std::vector<Read> readAll(ByteSource& source, std::string* bytes = nullptr) {
  std::vector<Read> reads;
  char buffer[4096];
  int32_t length = sizeof buffer;
  while (source.read(buffer, length)) {
    reads.push_back({length, published.load()});
    if (bytes != nullptr) {
      bytes->append(buffer, static_cast<std::size_t>(length));
    }
    length = sizeof buffer;
  }
  EXPECT_EQ(length, static_cast<int32_t>(sizeof buffer)) << "the end leaves length alone";
  return reads;
}

std::vector<int32_t> counts(const std::vector<Read>& reads) {
  std::vector<int32_t> out;
  for (const Read& r : reads) out.push_back(r.count);
  return out;
}

std::vector<int32_t> progress(const std::vector<Read>& reads) {
  std::vector<int32_t> out;
  for (const Read& r : reads) out.push_back(r.progress);
  return out;
}

TEST(FileSourceTest, ReportsProgressPerRead) {
  ScratchFolder folder;
  FileSource source(writeFile(folder, std::string(10000, 'x')).c_str(), &published);
  ASSERT_TRUE(source.isOpen());
  EXPECT_EQ(source.fileLength(), 10000);
  std::vector<Read> reads = readAll(source);
  EXPECT_EQ(counts(reads), (std::vector<int32_t>{4096, 4096, 1808}));
  EXPECT_EQ(progress(reads), (std::vector<int32_t>{40, 81, 100}));
}

TEST(FileSourceTest, TextModeShortensTheData) {
  ScratchFolder folder;
  FileSource source(writeFile(folder, "ab\r\ncd").c_str(), &published);
  std::string bytes;
  std::vector<Read> reads = readAll(source, &bytes);
  EXPECT_EQ(bytes, "ab\ncd");
  EXPECT_EQ(progress(reads), (std::vector<int32_t>{83}));

  FileSource stopped(writeFile(folder,
                               "abc\x1A"
                               "def")
                         .c_str(),
                     &published);
  bytes.clear();
  readAll(stopped, &bytes);
  EXPECT_EQ(bytes, "abc");
  EXPECT_EQ(stopped.delivered(), 3);
}

TEST(FileSourceTest, MissingOrEmptyFilesAreNotOpen) {
  ScratchFolder folder;
  const std::vector<std::string> paths = {
      writeFile(folder, ""), (folder.path() / "missing").string(), folder.path().string()};
  for (const std::string& path : paths) {
    published = 55;
    FileSource source(path.c_str(), &published);
    EXPECT_EQ(published.load(), 0) << path;
    EXPECT_FALSE(source.isOpen()) << path;
    EXPECT_TRUE(readAll(source).empty()) << path;
    EXPECT_EQ(published.load(), 0) << path;
  }
  FileSource none(nullptr);
  EXPECT_FALSE(none.isOpen());
}

TEST(FileSourceTest, BytesAfterTheDeliveredOnesAreZero) {
  ScratchFolder folder;
  FileSource source(writeFile(folder, "0123456789").c_str(), &published);
  std::vector<char> buffer(4096, 'Q');
  int32_t length = 4096;
  ASSERT_TRUE(source.read(buffer.data(), length));
  ASSERT_EQ(length, 10);
  EXPECT_EQ(std::string(buffer.data(), 10), "0123456789");
  EXPECT_EQ(std::count(buffer.begin() + 10, buffer.end(), '\0'), 4086);

  std::fill(buffer.begin(), buffer.end(), 'Q');
  length = 4096;
  EXPECT_FALSE(source.read(buffer.data(), length));
  EXPECT_EQ(length, 4096);
  EXPECT_EQ(std::count(buffer.begin(), buffer.end(), '\0'), 4096);
}

TEST(FileSourceTest, RewindReadsAgainAndKeepsCounting) {
  ScratchFolder folder;
  FileSource source(writeFile(folder, std::string(5000, 'r')).c_str(), &published);
  readAll(source);
  source.rewind();
  EXPECT_EQ(counts(readAll(source)), (std::vector<int32_t>{4096, 904}));
  EXPECT_EQ(source.delivered(), 10000);
  EXPECT_EQ(published.load(), 100);  // held at full, not 200
}

// Progress is computed in 64 bits: delivered x 100 overflows 32 bits
// after 21 MB.
TEST(FileSourceTest, ProgressOfLargeFiles) {
  ScratchFolder folder;
  std::string path = writeFile(folder, "");
  constexpr off_t size = 48L * 1024 * 1024 + 123;
  ASSERT_EQ(truncate(path.c_str(), size), 0);  // sparse: reads as zeros
  FileSource source(path.c_str(), &published);
  ASSERT_EQ(source.fileLength(), size);
  int32_t last = 0;
  for (const Read& r : readAll(source)) {
    ASSERT_GE(r.progress, last);
    ASSERT_LE(r.progress, 100);
    last = r.progress;
  }
  EXPECT_EQ(last, 100);
}

TEST(MemorySourceTest, DeliversTheBlockInRequests) {
  MemorySource none(nullptr, 10);
  EXPECT_FALSE(none.isOpen());
  EXPECT_TRUE(readAll(none).empty());

  MemorySource ten("0123456789", 10);
  EXPECT_TRUE(ten.isOpen());
  std::string bytes;
  EXPECT_EQ(counts(readAll(ten, &bytes)), (std::vector<int32_t>{10}));
  EXPECT_EQ(bytes, "0123456789");
  ten.rewind();
  EXPECT_EQ(counts(readAll(ten)), (std::vector<int32_t>{10}));

  std::string large(10000, 'm');
  MemorySource chunks(large.data(), static_cast<int64_t>(large.size()));
  EXPECT_EQ(counts(readAll(chunks)), (std::vector<int32_t>{4096, 4096, 1808}));

  MemorySource empty("", 0);
  EXPECT_TRUE(readAll(empty).empty());
}

TEST(MemorySourceTest, BaseSourceHasNoData) {
  ByteSource base;
  EXPECT_FALSE(base.isOpen());
  base.rewind();
  EXPECT_TRUE(readAll(base).empty());
}

}  // namespace
}  // namespace orbis
