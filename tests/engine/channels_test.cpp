// The numbered channels: records in memory, mirrored to their files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "channels.h"
#include "engine_harness.h"

namespace {

using engine_harness::ReadText;
using engine_harness::WriteText;

class Channels : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = engine_harness::MakeTempDir();
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  std::filesystem::path dir;
};

TEST_F(Channels, WritesReachTheFileByTheClose) {
  ChannelTable ch;
  ASSERT_TRUE(ch.Open(16, Path("report"), true));
  ch.Write(16, "ONE");
  ch.Write(16, "TWO");
  ch.Close(16);
  EXPECT_FALSE(ch.IsOpen(16));
  EXPECT_EQ(ReadText(dir / "report"), "ONE\nTWO\n");
  ch.Write(16, "LOST");  // a closed unit takes nothing
  EXPECT_EQ(ReadText(dir / "report"), "ONE\nTWO\n");
}

TEST_F(Channels, WritingAfterARewindCutsTheFileThere) {
  ChannelTable ch;
  ASSERT_TRUE(ch.Open(7, Path("TAPE7"), true));
  for (const char* r : {"A", "B", "C"}) ch.Write(7, r);
  ch.Rewind(7);
  std::string r;
  ASSERT_EQ(ch.Read(7, r), ChannelTable::kRead);
  EXPECT_EQ(r, "A");
  ch.Write(7, "X");
  EXPECT_EQ(ch.Read(7, r), ChannelTable::kEnd);
  ch.Backspace(7);
  ASSERT_EQ(ch.Read(7, r), ChannelTable::kRead);
  EXPECT_EQ(r, "X");
  ch.Close(7);
  EXPECT_EQ(ReadText(dir / "TAPE7"), "A\nX\n");
}

TEST_F(Channels, ReadsAFileWithEitherLineEnd) {
  WriteText(dir / "deck", "FIRST\r\nSECOND\nLAST");
  ChannelTable ch;
  ASSERT_TRUE(ch.Open(4, Path("deck"), false));
  std::string r;
  for (const char* want : {"FIRST", "SECOND", "LAST"}) {
    ASSERT_EQ(ch.Read(4, r), ChannelTable::kRead);
    EXPECT_EQ(r, want);
  }
  EXPECT_EQ(ch.Read(4, r), ChannelTable::kEnd);
  EXPECT_EQ(ch.Read(5, r), ChannelTable::kError);
}

TEST_F(Channels, AMissingInputFileIsMadeOnlyWhenAsked) {
  ChannelTable ch;
  EXPECT_FALSE(ch.Open(4, Path("absent"), false));
  EXPECT_FALSE(ch.IsOpen(4));
  EXPECT_FALSE(std::filesystem::exists(dir / "absent"));
  EXPECT_TRUE(ch.Open(2, Path("names.dat"), false, true));
  EXPECT_TRUE(std::filesystem::exists(dir / "names.dat"));
  std::string r;
  EXPECT_EQ(ch.Read(2, r), ChannelTable::kEnd);
  EXPECT_FALSE(ch.Open(6, "", true));
  EXPECT_FALSE(ch.Open(6, Path("no-such-folder/plot"), true));
}

TEST_F(Channels, ReopeningAUnitClosesItsFileAndTheTableClosesTheRest) {
  {
    ChannelTable ch;
    ASSERT_TRUE(ch.Open(8, Path("first"), true));
    ch.Write(8, "OLD");
    ASSERT_TRUE(ch.Open(8, Path("second"), true));
    EXPECT_EQ(ReadText(dir / "first"), "OLD\n");
    ch.Write(8, "NEW");
  }
  EXPECT_EQ(ReadText(dir / "second"), "NEW\n");
}

}  // namespace
