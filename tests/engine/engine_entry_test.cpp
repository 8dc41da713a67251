// The entry point end to end (the built library through dlopen) and the
// file set-up of a run.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "engine_harness.h"
#include "entry.h"
#include "run_fixture.h"

namespace {

using engine_harness::EngineRun;
using engine_harness::Lines;
using engine_harness::RunDeck;
namespace fs = std::filesystem;

const std::vector<std::string> kStopLines = {"1", "", "", " *** RUN TERMINATED BY 'STOP' KEYWORD ***"};
const std::vector<std::string> kFatalLines = {"1", "", "", "*** FATAL ERROR IN INPUT DATA ***",
                                              "*** EXECUTION TERMINATED ***"};

// A half-space foundation block and a harmonic load block, no GRAVITY.
const char* kFoundation =
    "FOUNDATION=HALF-SPACE\n"
    "CIRCULAR=5.0\n"
    "MASS\n"
    "100. 1000. 1000. 1500. 0. 0. 0.\n"
    "CONSTANTS\n"
    "0. 0. 2.\n";
const char* kLoad =
    "LOAD=HARMONIC\n"
    "CONSTANTS\n"
    "NONQUADRATIC\n"
    "100. 10. 10.\n"
    "1000. 0. 0. 0. 0. 0.\n"
    "0. 0. 0. 0\n";

std::vector<std::string> Tail(const std::string& text, std::size_t n) {
  std::vector<std::string> l = Lines(text);
  if (l.size() < n) return l;
  return std::vector<std::string>(l.end() - static_cast<long>(n), l.end());
}

std::set<std::string> Listing(const fs::path& dir) {
  std::set<std::string> s;
  for (const auto& e : fs::directory_iterator(dir)) s.insert(e.path().filename().string());
  return s;
}

TEST(EngineEntry, ExportsExactlyTheEntryPoint) {
  std::string cmd = std::string("nm -D --defined-only '") + VRT3_LIBRARY + "' 2>/dev/null";
  std::FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, p)) {
    char addr[64], type[8], name[400];
    if (std::sscanf(line, "%63s %7s %399s", addr, type, name) == 3) names.insert(name);
  }
  ASSERT_EQ(pclose(p), 0) << "nm failed";
  EXPECT_EQ(names, (std::set<std::string>{"IVORTN", "_IVORTN"}));

  void* lib = dlopen(VRT3_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr);
  EXPECT_NE(dlsym(lib, "IVORTN"), nullptr);
  EXPECT_EQ(dlsym(lib, "_IVORTN"), dlsym(lib, "IVORTN"));
  EXPECT_EQ(dlsym(lib, "RunEngine"), nullptr);
  dlclose(lib);
}

// The engine is free of Qt: neither the library nor anything it needs
// brings a Qt library into the process.
TEST(EngineEntry, LoadsNoQtLibrary) {
  void* lib = dlopen(VRT3_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  std::vector<std::string> qt;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* found) {
        if (info->dlpi_name && std::strstr(info->dlpi_name, "libQt"))
          static_cast<std::vector<std::string>*>(found)->push_back(info->dlpi_name);
        return 0;
      },
      &qt);
  dlclose(lib);
  EXPECT_TRUE(qt.empty()) << qt.front();
}

TEST(EngineEntry, WrongInterfaceCodeTouchesNothing) {
  for (int code : {11, 0, -12, 13}) {
    fs::path dir = engine_harness::MakeTempDir();
    engine_harness::WriteText(dir / "names.dat", engine_harness::NamesDat(dir));
    engine_harness::WriteText(dir / "job.vtd", "STOP\n");
    std::set<std::string> before = Listing(dir);
    EXPECT_EQ(engine_harness::CallEngine(dir, code), 1) << code;
    EXPECT_EQ(Listing(dir), before) << code;  // not even TAPE7
    fs::remove_all(dir);
  }
}

TEST(EngineEntry, StopKeywordEndsWithTheStopMessage) {
  EngineRun r = RunDeck("GRAVITY=32.2\nSTOP\nFOUNDATION=PILE\n");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(Tail(r.report, 4), kStopLines);
  EXPECT_TRUE(fs::exists(r.dir / "TAPE7"));
  EXPECT_TRUE(fs::exists(r.dir / "TAPE8"));
  EXPECT_EQ(engine_harness::ReadText(r.dir / "TAPE8"), " \n");
}

// A deck the run stops on or refuses ends with its result, the message
// that says why and then the closing lines of a stop or a fatal error.
TEST(EngineEntry, DeckEndsWithItsMessageAndClosingLines) {
  struct Case {
    const char* name;
    std::string deck;
    int code;
    std::vector<std::string> message;  // the lines just before the closing ones
    const std::vector<std::string>& closing;
  } cases[] = {
      {"no RUN or STOP: stopped at the end of input", "GRAVITY=32.2\nMATRIX\n", 2,
       {"", "", " END OF FILE ENCOUNTERED - PROGRAM STOP EXECUTED"}, kStopLines},
      {"a fatal error beats STOP", "FOUNDATION=CONCRETE\nSTOP\n", 3,
       {"", "", " INVALID KEYWORD - CONC FOR FOUNDATION TYPE", " PROGRAM WILL NOT EXECUTE"}, kFatalLines},
      {"a complete deck without gravity", std::string("TITLE=NO GRAVITY\n") + kFoundation + kLoad + "RUN\n", 3,
       {"", "", " GRAVITATIONAL CONSTANT NOT SET", " PROGRAM WILL TERMINATE"}, kFatalLines},
      {"a deck without load", std::string(kFoundation) + "RUN\n", 3,
       {"", "", " INSUFFICIENT INPUT DATA TO COMPLETE RUN", " PROGRAM WILL TERMINATE"}, kFatalLines},
  };
  for (const Case& c : cases) {
    EngineRun r = RunDeck(c.deck);
    EXPECT_EQ(r.code, c.code) << c.name;
    std::vector<std::string> expected = c.message;
    expected.insert(expected.end(), c.closing.begin(), c.closing.end());
    EXPECT_EQ(Tail(r.report, expected.size()), expected) << c.name << "\n" << r.report;
  }
}

TEST(EngineEntry, OnlyRunIsInsufficient) {
  EngineRun r = RunDeck("RUN\n");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(Lines(r.report), (std::vector<std::string>{"", "", " INSUFFICIENT INPUT DATA TO COMPLETE RUN",
                                                       " PROGRAM WILL TERMINATE", "1", "", "",
                                                       "*** FATAL ERROR IN INPUT DATA ***",
                                                       "*** EXECUTION TERMINATED ***"}));
}

TEST(EngineEntry, WordsAfterRunAreNotRead) {
  EngineRun r = RunDeck("RUN\nFRONT-END DATA 1 2 3\nSTOP\n");
  EXPECT_EQ(r.code, 3);
  EXPECT_EQ(r.report.find("UNRECOGNIZED"), std::string::npos);
}

TEST(EngineEntry, MissingInputDeckIsReported) {
  fs::path dir = engine_harness::MakeTempDir();
  engine_harness::WriteText(dir / "names.dat", engine_harness::NamesDat(dir));
  EXPECT_EQ(engine_harness::CallEngine(dir), 3);
  std::string report = engine_harness::ReadText(dir / "job.vto");
  EXPECT_NE(report.find(" *** CANNOT OPEN THE INPUT FILE ***\n " + (dir / "job.vtd").string()), std::string::npos)
      << report;
  EXPECT_EQ(Tail(report, 5), kFatalLines);
  EXPECT_FALSE(fs::exists(dir / "job.vtd"));
  fs::remove_all(dir);
}

TEST(EngineEntry, UnwritableReportEndsTheRun) {
  fs::path dir = engine_harness::MakeTempDir();
  std::string names = "3.0.12\n" + (dir / "job.vtd").string() + "\n" + (dir / "no-such-dir" / "job.vto").string() +
                      "\n" + (dir / "job.vtp").string() + "\nr\ng\nm\n";
  engine_harness::WriteText(dir / "names.dat", names);
  engine_harness::WriteText(dir / "job.vtd", "RUN\n");
  EXPECT_EQ(engine_harness::CallEngine(dir), 3);
  fs::remove_all(dir);
}

TEST(EngineEntry, UnwritablePlotFileIsReported) {
  fs::path dir = engine_harness::MakeTempDir();
  std::string names = "3.0.12\n" + (dir / "job.vtd").string() + "\n" + (dir / "job.vto").string() + "\n" +
                      (dir / "no-such-dir" / "job.vtp").string() + "\nr\ng\nm\n";
  engine_harness::WriteText(dir / "names.dat", names);
  engine_harness::WriteText(dir / "job.vtd", "STOP\n");
  EXPECT_EQ(engine_harness::CallEngine(dir), 3);
  std::string report = engine_harness::ReadText(dir / "job.vto");
  EXPECT_NE(report.find(" *** CANNOT OPEN THE PLOT OUTPUT FILE ***"), std::string::npos);
  EXPECT_EQ(Tail(report, 5), kFatalLines);
  fs::remove_all(dir);
}

// Decks the solution refuses (its message ends "PROGRAM WILL NOT EXECUTE")
// end like decks the readers refuse: result 3, and no plot-data file that
// could pass for results.  The same deck with admissible values runs.
TEST(EngineEntry, RefusedSolutionEndsWithTheFatalResultAndNoPlotFile) {
  const std::string head = std::string("GRAVITY=32.2\n") + kFoundation + "SOIL\nCONSTANTS=0\nBELOW=500 110 0.33 0.05\n";
  const auto transient = [](const std::string& points, const std::string& dt) {
    return "LOAD\nTRANSIENT\nCONSTANTS\n" + points + " " + dt + " 1\n3\n0\n1000\n0\n-1000\nRUN\n";
  };
  const auto harmonic = [](const std::string& range) {
    return "LOAD\nHARMONIC\nCONSTANTS\nNONQUADRATIC\n" + range + "\n1000 0 0\n0 0 0\n0 0 0 0\nRUN\n";
  };
  struct Case {
    std::string load;
    int code;
    const char* message;
  } cases[] = {
      {transient("-5", "0.01"), 3, " *** NUMBER OF TRANSIENT POINTS (         -5) MUST LIE BETWEEN 1 AND 1024 ***"},
      {transient("4", "0"), 3, " *** INADMISSABLE TIME INTERVAL OF TRANSIENT LOAD ( 0.000E+00) ***"},
      {harmonic("3000 1 1"), 3, " *** NUMBER OF FREQUENCY POINTS (       3000) MUST LIE BETWEEN 1 AND 1024 ***"},
      {harmonic("100 3.4E+38 -1.36E+37"), 3,
       " *** FREQUENCIES FROM  3.400E+38 BY -1.360E+37 EXCEED THE RANGE OF REAL NUMBERS ***"},
      {transient("4", "0.01"), 0, nullptr},
      {harmonic("100 10 10"), 0, nullptr},
  };
  for (const Case& c : cases) {
    EngineRun r = RunDeck(head + c.load);
    EXPECT_EQ(r.code, c.code) << c.load << r.report;
    EXPECT_EQ(fs::exists(r.dir / "job.vtp"), c.code == 0) << c.load;
    if (c.message) {
      EXPECT_NE(r.report.find(c.message), std::string::npos) << r.report;
      EXPECT_NE(r.report.find(" ***PROGRAM WILL NOT EXECUTE***"), std::string::npos);
    }
    fs::remove_all(r.dir);
  }
  // A deck the readers refuse leaves none either.
  EngineRun fatal = RunDeck("FOUNDATION=CONCRETE\nRUN\n");
  EXPECT_EQ(fatal.code, 3);
  EXPECT_FALSE(fs::exists(fatal.dir / "job.vtp"));
  EXPECT_TRUE(fs::exists(fatal.dir / "job.vto"));
  fs::remove_all(fatal.dir);
}

TEST(EngineEntry, DecksWithWindowsLineEnds) {
  EngineRun r = RunDeck("GRAVITY=32.2\r\nSTOP\r\n");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.report.find(" GRAVITATIONAL CONSTANT SET TO  32.20 ft/s**2"), std::string::npos);
}

TEST(EngineEntry, MassFileIsTheSeventhNamesLine) {
  fs::path dir = engine_harness::MakeTempDir();
  auto component = [](int n) {
    std::string t = std::to_string(n) + "\n";
    for (int k = 0; k < n; ++k) t += "1. 0. 0. 0. 1. 1. 1.\n";
    return t + "0 0 0\n0 0 0\n0 0 0\n";
  };
  engine_harness::WriteText(dir / "five.vtm", component(2));
  engine_harness::WriteText(dir / "six.vtm", component(3));
  engine_harness::WriteText(dir / "seven.vtm", component(1));
  engine_harness::WriteText(dir / "names.dat", "3.0.12\n" + (dir / "job.vtd").string() + "\n" +
                                                   (dir / "job.vto").string() + "\n" + (dir / "job.vtp").string() +
                                                   "\n" + (dir / "five.vtm").string() + "\n" +
                                                   (dir / "six.vtm").string() + "\n" + (dir / "seven.vtm").string() +
                                                   "\n");
  engine_harness::WriteText(dir / "job.vtd", std::string("GRAVITY=32.2\n") + kFoundation + "STOP\n");
  EXPECT_EQ(engine_harness::CallEngine(dir), 2);
  std::string report = engine_harness::ReadText(dir / "job.vto");
  EXPECT_NE(report.find(" MASS COMPONENTS  NUMBER OF DEFINED MASSES -  1\n"), std::string::npos) << report;
  fs::remove_all(dir);
}

TEST(EngineEntry, TitleOpensTheDataEchoPage) {
  EngineRun r = RunDeck("TITLE=PUMP 3 ON BLOCK\nSTOP\n");
  EXPECT_EQ(r.code, 2);
  std::vector<std::string> l = Lines(r.report);
  ASSERT_GE(l.size(), 25u) << r.report;
  for (int k = 0; k < 3; ++k) EXPECT_EQ(l[k], "");
  EXPECT_EQ(l[3], " " + std::string(49, '*'));
  EXPECT_EQ(l[8], " *              VORTN 3.0.12                     *");
  EXPECT_EQ(l[13], " " + std::string(49, '*'));
  EXPECT_EQ(l[14], "");
  EXPECT_EQ(l[15], " PUMP 3 ON BLOCK" + std::string(65, ' '));
  EXPECT_EQ(l[16], "");
  EXPECT_EQ(l[17], "     Path to file locations      : " + r.dir.string() + "/");
  EXPECT_EQ(l[18], "     Name of input data file     : job.vtd");
  EXPECT_EQ(l[19], "     Name of output file         : job.vto");
  EXPECT_EQ(l[20], "     Name of plot output file    : job.vtp");
  EXPECT_EQ(l[21], "");
  EXPECT_EQ(l[22], "");
  EXPECT_EQ(l[23], std::string(22, ' ') + "DATA ECHO");
  EXPECT_EQ(l[24], std::string(22, ' ') + "*********");
}

TEST(EngineEntry, NoEchoUntilEchoAgain) {
  EngineRun r = RunDeck("NOECHO\nTITLE=QUIET\nGRAVITY=32.2\nECHO\nMATRIX\nSTOP\n");
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(Lines(r.report), (std::vector<std::string>{"", "", " STIFFNESS AND DAMPING CONSTANTS TO BE PRINTED",
                                                       " " + std::string(45, '*'), "1", "", "",
                                                       " *** RUN TERMINATED BY 'STOP' KEYWORD ***"}));
}

// Two decks through one loaded library: the second run's report is the one
// a fresh process gives for it.
TEST(EngineEntry, EveryRunStartsFresh) {
  const std::string deckA = "TITLE=FIRST\nGRAVITY=9.81\nMATRIX\nECHO\nSTOP\n";
  const std::string deckB = std::string("NOECHO\n") + kFoundation + kLoad + "RUN\n";
  // Relative names keep the two runs' reports comparable.
  const std::string names = "3.0.12\njob.vtd\njob.vto\njob.vtp\njob.vtr\njob.vtt\njob.vtm\n";

  void* lib = dlopen(VRT3_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr);
  using Entry = std::int32_t (*)(std::int32_t);
  auto entry = reinterpret_cast<Entry>(dlsym(lib, "_IVORTN"));
  ASSERT_NE(entry, nullptr);
  fs::path old = fs::current_path();
  auto runIn = [&](const std::string& deck) {
    fs::path dir = engine_harness::MakeTempDir();
    engine_harness::WriteText(dir / "names.dat", names);
    engine_harness::WriteText(dir / "job.vtd", deck);
    fs::current_path(dir);
    int code = entry(12);
    fs::current_path(old);
    std::string report = engine_harness::ReadText(dir / "job.vto");
    fs::remove_all(dir);
    return std::make_pair(code, report);
  };
  auto first = runIn(deckA);
  auto second = runIn(deckB);
  dlclose(lib);
  EXPECT_EQ(first.first, 2);

  // The same deck in a process of its own.
  fs::path runner = fs::path(VRT3_LIBRARY).parent_path() / "vortn-run";
  ASSERT_TRUE(fs::exists(runner)) << runner;
  fs::path dir = engine_harness::MakeTempDir();
  engine_harness::WriteText(dir / "b.vtd", deckB);
  std::string cmd = "'" + runner.string() + "' '" + (dir / "b.vtd").string() + "' '" + (dir / "out").string() +
                    "' > /dev/null";
  int rc = std::system(cmd.c_str());
  (void)rc;
  std::string fresh = engine_harness::ReadText(dir / "out" / "b.vto");
  fs::remove_all(dir);

  EXPECT_EQ(second.first, 3);
  ASSERT_FALSE(fresh.empty());
  EXPECT_EQ(second.second, fresh);
  EXPECT_NE(fresh.find(" GRAVITATIONAL CONSTANT NOT SET"), std::string::npos);
}

// OPNFIL on names.dat files of every length.
class OpenFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = engine_harness::MakeTempDir();
    ASSERT_FALSE(dir_.empty());
    old_ = fs::current_path();
    fs::current_path(dir_);
    conIn_ = std::tmpfile();
    conOut_ = std::tmpfile();
    ASSERT_NE(conIn_, nullptr);
    ASSERT_NE(conOut_, nullptr);
    R.conIn = conIn_;
    R.conOut = conOut_;
    R.IUNIT[4] = 4;
    R.IUNIT[7] = 7;
    R.IUNIT[8] = 8;
    R.IUNIT[16] = 16;
  }
  void TearDown() override {
    CLSFIL(R);
    if (!old_.empty()) fs::current_path(old_);
    if (conIn_) std::fclose(conIn_);
    if (conOut_) std::fclose(conOut_);
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  void Answers(const std::string& text) {
    std::fputs(text.c_str(), conIn_);
    std::rewind(conIn_);
  }
  std::string ConsoleText() {
    std::rewind(conOut_);
    std::string s;
    int c;
    while ((c = std::fgetc(conOut_)) != EOF) s.push_back(static_cast<char>(c));
    return s;
  }
  std::string P(const char* name) { return (dir_ / name).string(); }
  static std::string Trim(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  fs::path dir_, old_;
  std::FILE* conIn_ = nullptr;
  std::FILE* conOut_ = nullptr;
  ::Run R;
};

TEST_F(OpenFiles, MassFileIsLineSeven) {
  for (const char* m : {"a.vtm", "b.vtm", "c.vtm"}) engine_harness::WriteText(dir_ / m, std::string(m) + "\n");
  engine_harness::WriteText(dir_ / "job.vtd", "RUN\n");
  engine_harness::WriteText(dir_ / "names.dat", "3.0.12\n" + P("job.vtd") + "\n" + P("job.vto") + "\n" + P("job.vtp") +
                                                    "\n" + P("a.vtm") + "\n" + P("b.vtm") + "\n" + P("c.vtm") + "\n");
  EXPECT_EQ(OPNFIL(R), 0);
  EXPECT_EQ(R.names.VERSN, "3.0.12      ");
  EXPECT_EQ(Trim(R.names.MASFIL), P("c.vtm"));
  EXPECT_EQ(R.names.MASFIL.size(), 256u);
  std::string rec;
  ASSERT_EQ(R.ch.Read(9, rec), ChannelTable::kRead);
  EXPECT_EQ(rec, "c.vtm");
  EXPECT_EQ(ConsoleText(), "");
}

TEST_F(OpenFiles, OnlyTheVersionLinePromptsForThreeNames) {
  engine_harness::WriteText(dir_ / "names.dat", "3.0.12\n");
  engine_harness::WriteText(dir_ / "in.vtd", "RUN\n");
  Answers("in.vtd\nout.vto\nplot.vtp\n");
  EXPECT_EQ(OPNFIL(R), 0);
  EXPECT_EQ(ConsoleText(),
            "\n\n       ENTER A FILE NAME FOR YOUR INPUT FILE.\n ENTER >"
            "\n\n       ENTER A FILE NAME FOR YOUR OUTPUT FILE.\n ENTER >"
            "\n\n       ENTER A FILE NAME FOR YOUR GRAPHIC DATA FILE.\n ENTER >");
  EXPECT_EQ(Trim(R.names.INFILE), "in.vtd");
  EXPECT_EQ(Trim(R.names.OUTFIL), "out.vto");
  EXPECT_EQ(Trim(R.names.PLTFIL), "plot.vtp");
  EXPECT_EQ(Trim(R.names.MASFIL), "");
  EXPECT_FALSE(R.ch.IsOpen(9));
  EXPECT_TRUE(fs::exists("out.vto"));
  EXPECT_TRUE(fs::exists("plot.vtp"));
}

TEST_F(OpenFiles, SixLinesKeepLineSixAsTheMassFile) {
  engine_harness::WriteText(dir_ / "names.dat", "3.0.12\nx.vtd\nx.vto\nx.vtp\nnotes.vtr\ngeom.vtt\n");
  engine_harness::WriteText(dir_ / "x.vtd", "RUN\n");
  Answers("x.vtd\nx.vto\nx.vtp\n");
  EXPECT_EQ(OPNFIL(R), 0);
  EXPECT_EQ(Trim(R.names.MASFIL), "geom.vtt");
  EXPECT_FALSE(R.ch.IsOpen(9));  // no such file
}

TEST_F(OpenFiles, MissingNamesFileWithNoAnswers) {
  ::Run& r = R;
  EXPECT_EQ(RunEngine(r, 12), 3);
  EXPECT_TRUE(fs::exists("names.dat"));
  EXPECT_NE(ConsoleText().find("CANNOT OPEN THE OUTPUT FILE"), std::string::npos);
}

TEST_F(OpenFiles, EmptyNamesFileUsesTheAnswers) {
  engine_harness::WriteText(dir_ / "names.dat", "");
  engine_harness::WriteText(dir_ / "d.vtd", "STOP\n");
  Answers("d.vtd\nd.vto\nd.vtp\n");
  EXPECT_EQ(RunEngine(R, 12), 2);
  EXPECT_EQ(R.names.VERSN, std::string(12, ' '));
  EXPECT_EQ(Tail(engine_harness::ReadText("d.vto"), 4), kStopLines);
}

TEST_F(OpenFiles, StaleScratchFilesAreReplaced) {
  engine_harness::WriteText(dir_ / "TAPE7", "OLD\n");
  engine_harness::WriteText(dir_ / "names.dat", "3.0.12\nd.vtd\nd.vto\nd.vtp\nr\ng\nm\n");
  engine_harness::WriteText(dir_ / "d.vtd", "");
  EXPECT_EQ(RunEngine(R, 12), 2);
  EXPECT_EQ(engine_harness::ReadText("TAPE7"), "");
}

}  // namespace
