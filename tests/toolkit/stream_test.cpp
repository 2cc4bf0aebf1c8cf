// TStream: memory streams (growth, gaps, shrinking without reallocation) and file streams (emptied on
// open, read back, resized, and quiet when the file cannot be opened).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "toolkit/stream.h"

namespace fs = std::filesystem;

namespace {

struct StreamHolder {
  TStream* s;
  ~StreamHolder() { s->Free(); }
  TStream* operator->() const { return s; }
};

TEST(MemoryStream, WritesGrowAtThePositionAndAGapReadsAsZeros) {
  StreamHolder s{NewMemoryStream()};
  EXPECT_EQ(s->Size(), 0u);
  EXPECT_EQ(s->Write("abcd", 4), 4u);
  s->SetPosition(2);
  EXPECT_EQ(s->Write("XYZ", 3), 3u);
  EXPECT_EQ(s->Position(), 5u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s->Memory()), s->Size()), "abXYZ");
  s->SetPosition(8);
  s->Write("!", 1);
  ASSERT_EQ(s->Size(), 9u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s->Memory()), 9), std::string("abXYZ\0\0\0!", 9));

  char back[16] = {};
  s->SetPosition(3);
  EXPECT_EQ(s->Read(back, sizeof back), 6u);
  EXPECT_EQ(s->Position(), 9u);
  EXPECT_EQ(s->Read(back, 1), 0u);
}

TEST(MemoryStream, ShrinkingPullsThePositionInAndKeepsTheStorage) {
  StreamHolder s{NewMemoryStream()};
  const std::string block(4096, 'q');
  s->Write(block.data(), block.size());
  const uint8_t* storage = s->Memory();
  s->SetSize(10);
  EXPECT_EQ(s->Position(), 10u);
  s->SetSize(0);
  EXPECT_EQ(s->Position(), 0u);
  s->Write(block.data(), block.size());
  EXPECT_EQ(s->Memory(), storage);
  EXPECT_EQ(s->Size(), 4096u);
}

class FileStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("stream_test_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(FileStreamTest, AnExistingFileIsEmptiedAndWritesReadBack) {
  {
    std::ofstream old(Path("f.bin"), std::ios::binary);
    old << "an older and longer content";
  }
  StreamHolder s{NewFileStream(Path("f.bin").c_str())};
  ASSERT_TRUE(s->IsOpen());
  EXPECT_EQ(s->Size(), 0u);
  EXPECT_EQ(s->Memory(), nullptr);
  EXPECT_EQ(s->Write("hello world", 11), 11u);
  s->SetPosition(6);
  s->Write("WORLD", 5);
  EXPECT_EQ(s->Position(), 11u);
  s->SetPosition(0);
  char back[11];
  EXPECT_EQ(s->Read(back, sizeof back), 11u);
  EXPECT_EQ(std::string(back, 11), "hello WORLD");

  s->SetSize(5);
  EXPECT_EQ(s->Size(), 5u);
  EXPECT_EQ(s->Position(), 5u);
  s->SetSize(8);  // grows without moving the position
  EXPECT_EQ(s->Position(), 5u);
  std::ifstream in(Path("f.bin"), std::ios::binary);
  const std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(content, std::string("hello\0\0\0", 8));
}

TEST_F(FileStreamTest, AnUnopenableFileGivesAQuietStream) {
  for (const std::string& name : {std::string(), dir_.string(), Path("missing/dir/f.bin")}) {
    StreamHolder s{NewFileStream(name.c_str())};
    EXPECT_FALSE(s->IsOpen()) << name;
    EXPECT_EQ(s->Write("abc", 3), 0u);
    s->SetSize(10);
    EXPECT_EQ(s->Size(), 0u);
    EXPECT_EQ(s->Position(), 0u);
  }
  EXPECT_TRUE(fs::is_directory(dir_));
}

}  // namespace
