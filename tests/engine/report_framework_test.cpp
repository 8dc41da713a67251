// Banner, page headings and the title reader.
#include <gtest/gtest.h>

#include <regex>

#include "keyword_loop.h"
#include "report_framework.h"
#include "run_fixture.h"

namespace {

class ReportFrame : public RunFixture {
 protected:
  void SetUp() override {
    RunFixture::SetUp();
    if (HasFatalFailure()) return;
    R->names.VERSN = "3.0.12      ";
    R->names.INFILE = "/home/eng/jobs/pump.vtd";
    R->names.OUTFIL = "/home/eng/jobs/pump.vto";
    R->names.PLTFIL = "/tmp/pump.vtp";
    R->names.TITLE = std::string("PUMP FOUNDATION") + std::string(65, ' ');
  }
};

// The banner as it must read, with the date and time lines matched loosely.
void ExpectBanner(const std::vector<std::string>& r, std::size_t at, const std::string& title) {
  ASSERT_GE(r.size(), at + 16);
  const std::string box = " " + std::string(49, '*');
  const std::string side = " *" + std::string(47, ' ') + "*";
  EXPECT_EQ(r[at + 0], "");
  EXPECT_EQ(r[at + 1], "");
  EXPECT_EQ(r[at + 2], "");
  EXPECT_EQ(r[at + 3], box);
  EXPECT_EQ(r[at + 4], side);
  EXPECT_EQ(r[at + 5], " *        S O I L - F O U N D A T I O N          *");
  EXPECT_EQ(r[at + 6], side);
  EXPECT_EQ(r[at + 7], " *     D Y N A M I C   S I M U L A T I O N       *");
  EXPECT_EQ(r[at + 8], " *              VORTN 3.0.12                     *");
  EXPECT_EQ(r[at + 9], side);
  EXPECT_TRUE(std::regex_match(r[at + 10], std::regex(R"( \* {13}RUN DATE -  \d\d/\d\d/\d{4} {12}\*)"))) << r[at + 10];
  EXPECT_TRUE(std::regex_match(r[at + 11], std::regex(R"( \* {13}TIME     -  \d\d:\d\d:\d\d {14}\*)"))) << r[at + 11];
  EXPECT_EQ(r[at + 12], side);
  EXPECT_EQ(r[at + 13], box);
  EXPECT_EQ(r[at + 14], "");
  std::string t = title;
  t.resize(80, ' ');
  EXPECT_EQ(r[at + 15], " " + t);
  for (std::size_t k = at + 3; k <= at + 13; ++k) EXPECT_EQ(r[k].size(), 50u) << k;
}

TEST_F(ReportFrame, BannerBox) {
  int st = 0;
  BANNER(*R, st);
  EXPECT_EQ(st, 1);
  std::vector<std::string> r = Report();
  EXPECT_EQ(r.size(), 16u);
  ExpectBanner(r, 0, "PUMP FOUNDATION");
}

TEST_F(ReportFrame, DataEchoHeading) {
  int st = 0;
  HEADNG(*R, 1, st);
  EXPECT_EQ(st, 1);
  std::vector<std::string> r = Report();
  ExpectBanner(r, 0, "PUMP FOUNDATION");
  std::vector<std::string> tail(r.begin() + 16, r.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"", "     Path to file locations      : /home/eng/jobs/",
                                            "     Name of input data file     : pump.vtd",
                                            "     Name of output file         : pump.vto",
                                            "     Name of plot output file    : pump.vtp", "", "",
                                            std::string(22, ' ') + "DATA ECHO", std::string(22, ' ') + "*********"}));
}

TEST_F(ReportFrame, ResultsHeading) {
  int st = 0;
  HEADNG(*R, 2, st);
  std::vector<std::string> r = Report();
  ExpectBanner(r, 0, "PUMP FOUNDATION");
  std::vector<std::string> tail(r.begin() + 16, r.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"", std::string(33, ' ') + "RESULTS", std::string(33, ' ') + "*******"}));
}

TEST_F(ReportFrame, TitleWithEchoWritesTheDataEchoPage) {
  Feed(7, {"  SECOND JOB", "RUN"});
  R->IUNIT[4] = 7;
  R->flags.IECHO = 1;
  int st = 0;
  RDTITL(*R, st);
  EXPECT_EQ(st, 1);
  EXPECT_EQ(R->names.TITLE, "  SECOND JOB" + std::string(68, ' '));
  std::vector<std::string> r = Report();
  ASSERT_EQ(r.size(), 25u);
  ExpectBanner(r, 0, "  SECOND JOB");
  EXPECT_EQ(r[24], std::string(22, ' ') + "*********");
}

TEST_F(ReportFrame, TitleWithoutEchoWritesNothing) {
  Feed(7, {"QUIET"});
  R->IUNIT[4] = 7;
  R->flags.IECHO = 0;
  int st = 0;
  RDTITL(*R, st);
  EXPECT_EQ(st, 1);
  EXPECT_EQ(R->names.TITLE.substr(0, 6), "QUIET ");
  EXPECT_TRUE(Report().empty());
}

TEST_F(ReportFrame, TitleAtTheEndOfTheDeck) {
  Feed(7, {});
  R->IUNIT[4] = 7;
  std::string before = R->names.TITLE;
  int st = 0;
  RDTITL(*R, st);
  EXPECT_EQ(st, -1);
  EXPECT_EQ(R->names.TITLE, before);
  EXPECT_EQ(Report(), (std::vector<std::string>{"", "", " END OF FILE ENCOUNTERED WHILE READING TITLE"}));
}

TEST(SplitPath, DirectoryAndName) {
  struct Case {
    const char* path;
    const char* dir;
    const char* name;
  } cases[] = {{"/a/b/c.vtd", "/a/b/", "c.vtd"}, {"c.vtd   ", "", "c.vtd"},
               {"C:\\jobs\\x.vtd", "C:\\jobs\\", "x.vtd"}, {"C:x.vtd", "C:", "x.vtd"}, {"", "", ""}};
  for (const Case& c : cases) {
    std::string d, n;
    SplitPath(c.path, d, n);
    EXPECT_EQ(d, c.dir) << c.path;
    EXPECT_EQ(n, c.name) << c.path;
  }
}

TEST(BannerClock, FixedWidths) {
  EXPECT_TRUE(std::regex_match(BannerDate(), std::regex(R"(\d\d/\d\d/\d{4})")));
  EXPECT_TRUE(std::regex_match(BannerTime(), std::regex(R"(\d\d:\d\d:\d\d)")));
}

}  // namespace
