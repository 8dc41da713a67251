// The run sequence of one engine call and the file set-up around it.
//
// File rules of a run:
// - TAPE7 and TAPE8 are made afresh in the current directory (an old copy is
//   replaced, never read); names.dat is created empty when it is missing.
// - names.dat missing, empty or with fewer lines than seven: the version is
//   blank when line 1 is missing; the first name line that is missing makes
//   the engine ask for the input, output and graphic-data file names on the
//   console; the mass file name is the last of lines 5 to 7 that was read
//   (blank when the file ends before line 5).
// - A mass file that is blank or cannot be read leaves channel 9 closed.
// - A report that cannot be opened ends the run with result 3 and a console
//   message; an input deck or plot-data file that cannot be opened is
//   reported in the report and ends the run with result 3 before the deck is
//   read.  Scratch files that cannot be created end the run the same way.
// - A run that ends with result 3 (a fatal input error, or a deck the
//   solution refuses) leaves no plot-data file.
// - Memory that cannot be had, at any stage, ends the run with result 3: the
//   report says so in place of the results not computed (the console, when
//   the report is not open yet), and every file is closed.  No exception
//   leaves the entry point.
#include "entry.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "deck_preprocessor.h"
#include "engine_workers.h"
#include "keyword_loop.h"
#include "report_writer.h"
#include "run_state.h"
#include "solution_driver.h"

namespace {

std::string Field(const std::string& line, std::size_t n) {
  std::string s = line.substr(0, std::min(line.size(), n));
  s.resize(n, ' ');
  return s;
}

std::string Trim(const std::string& s) {
  std::size_t e = s.find_last_not_of(' ');
  return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

std::string AskName(Run& R, const char* what) {
  std::FILE* out = R.conOut;
  if (out) {
    std::fprintf(out, "\n\n       ENTER A FILE NAME FOR YOUR %s\n ENTER >", what);
    std::fflush(out);
  }
  std::string answer;
  if (R.conIn) {
    char buf[1024];
    if (std::fgets(buf, sizeof buf, R.conIn)) {
      answer = buf;
      while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
    }
  }
  return Field(answer, 256);
}

void Console(Run& R, const std::string& text) {
  if (R.conOut) {
    std::fprintf(R.conOut, "%s\n", text.c_str());
    std::fflush(R.conOut);
  }
}

}  // namespace

int OPNFIL(Run& R) {
  RunNames& N = R.names;
  bool scratchOk = R.ch.Open(kCleanDeckChannel, "TAPE7", true);
  scratchOk = R.ch.Open(kScratchChannel, "TAPE8", true) && scratchOk;
  R.ch.Open(kNamesChannel, "names.dat", false, true);

  std::string line;
  N.VERSN = Field(R.ch.Read(kNamesChannel, line) == ChannelTable::kRead ? line : std::string(), 12);
  std::string* slots[6] = {&N.INFILE, &N.OUTFIL, &N.PLTFIL, &N.MASFIL, &N.MASFIL, &N.MASFIL};
  bool failed = false;
  for (std::string* slot : slots) {
    if (R.ch.Read(kNamesChannel, line) != ChannelTable::kRead) {
      failed = true;
      break;
    }
    *slot = Field(line, 256);
  }
  if (failed) {
    N.INFILE = AskName(R, "INPUT FILE.");
    N.OUTFIL = AskName(R, "OUTPUT FILE.");
    N.PLTFIL = AskName(R, "GRAPHIC DATA FILE.");
  }

  bool deckOk = R.ch.Open(kDeckChannel, Trim(N.INFILE), false);
  if (!R.ch.Open(kReportChannel, Trim(N.OUTFIL), true)) {
    Console(R, " *** CANNOT OPEN THE OUTPUT FILE " + Trim(N.OUTFIL));
    return 3;
  }
  bool plotOk = R.ch.Open(kPlotChannel, Trim(N.PLTFIL), true);
  if (!Trim(N.MASFIL).empty()) R.ch.Open(kMassChannel, Trim(N.MASFIL), false);

  int result = 0;
  if (!scratchOk) {
    WRITE(R, kReportChannel, "(//' *** CANNOT CREATE THE SCRATCH FILES TAPE7 AND TAPE8 ***')");
    result = 3;
  }
  if (!deckOk) {
    WRITE(R, kReportChannel, "(//' *** CANNOT OPEN THE INPUT FILE ***'/1X,A)", {Trim(N.INFILE)});
    result = 3;
  }
  if (!plotOk) {
    WRITE(R, kReportChannel, "(//' *** CANNOT OPEN THE PLOT OUTPUT FILE ***'/1X,A)", {Trim(N.PLTFIL)});
    result = 3;
  }
  return result;
}

void CHKINP(Run& R) {
  RunFlags& F = R.flags;
  if (F.FNDTYP == Foundation::kNone || F.LODTYP == Load::kNone || F.IGEOM == 0) {
    F.IERFLG = 1;
    WRITE(R, R.IUNIT[kReportChannel], "(//' INSUFFICIENT INPUT DATA TO COMPLETE RUN'/' PROGRAM WILL TERMINATE')");
  } else if (F.IGRAV == 0) {
    F.IERFLG = 1;
    WRITE(R, R.IUNIT[kReportChannel], "(//' GRAVITATIONAL CONSTANT NOT SET'/' PROGRAM WILL TERMINATE')");
  }
}

void CLSFIL(Run& R) {
  for (int unit : {kCleanDeckChannel, kScratchChannel, kNamesChannel, kDeckChannel, kReportChannel,
                   kPlotChannel, kMassChannel}) R.ch.Close(unit);
}

namespace {

// The plot-data file this run opened: it holds results only once the
// solution ran, so a run that will not execute or cannot finish leaves none.
// (Never the report or the deck under the same name.)
std::string PlotFileOfRun(const Run& R) {
  std::string plotFile = R.ch.IsOpen(kPlotChannel) ? Trim(R.names.PLTFIL) : std::string();
  if (plotFile == Trim(R.names.OUTFIL) || plotFile == Trim(R.names.INFILE)) plotFile.clear();
  return plotFile;
}

std::int32_t RunStages(Run& R) {
  R.IUNIT[kDeckChannel] = kDeckChannel;
  R.IUNIT[kCleanDeckChannel] = kCleanDeckChannel;
  R.IUNIT[kScratchChannel] = kScratchChannel;
  R.IUNIT[kReportChannel] = kReportChannel;
  int result = OPNFIL(R);
  const std::string plotFile = PlotFileOfRun(R);
  const auto dropPlotFile = [&plotFile] {
    if (!plotFile.empty()) std::remove(plotFile.c_str());
  };
  if (result != 0) {
    if (R.ch.IsOpen(kReportChannel))
      WRITE(R, kReportChannel, "('1'///'*** FATAL ERROR IN INPUT DATA ***'/'*** EXECUTION TERMINATED ***')");
    CLSFIL(R);
    dropPlotFile();
    return result;
  }
  PREPRO(R);
  int status = 1;
  INITIN(R, status);
  RDKEYS(R, status, R.flags.ISTOP);
  const int out = R.IUNIT[kReportChannel];
  if (R.flags.IERFLG == 1) {
    WRITE(R, out, "('1'///'*** FATAL ERROR IN INPUT DATA ***'/'*** EXECUTION TERMINATED ***')");
    result = 3;
  } else if (R.flags.ISTOP == 1) {
    WRITE(R, out, "('1'///' *** RUN TERMINATED BY ''STOP'' KEYWORD ***')");
    result = 2;
  } else {
    CHKINP(R);
    if (R.flags.IERFLG == 1) {
      WRITE(R, out, "('1'///'*** FATAL ERROR IN INPUT DATA ***'/'*** EXECUTION TERMINATED ***')");
      result = 3;
    } else {
      // A deck the solution refuses (its message is on the report) is a
      // fatal input error like those the readers find.
      result = ANALYS(R) ? 0 : 3;
    }
  }
  CLSFIL(R);
  if (result == 3) dropPlotFile();
  return result;
}

// Says why a run ended on the console, allocating nothing.
void ConsoleWhy(std::FILE* out, const char* why) {
  if (out == nullptr) return;
  std::fprintf(out, " *** %s ***\n", why);
  std::fflush(out);
}

// A run that cannot go on: the report says why after what it holds so far
// (the console, when there is no report yet), and every file is closed.
// Writing may fail for want of memory too; the files are closed all the
// same.
std::int32_t EndRun(Run& R, const char* why) {
  if (!R.ch.IsOpen(kReportChannel)) ConsoleWhy(R.conOut, why);
  try {
    if (R.ch.IsOpen(kReportChannel))
      WRITE(R, kReportChannel, "('1'///' *** ',A,' ***'/'*** EXECUTION TERMINATED ***')", {std::string(why)});
  } catch (...) {
  }
  std::string plotFile;
  try {
    plotFile = PlotFileOfRun(R);
  } catch (...) {
  }
  try {
    CLSFIL(R);
  } catch (...) {
  }
  if (!plotFile.empty()) std::remove(plotFile.c_str());
  return 3;
}

constexpr const char* kNoMemory = "NOT ENOUGH MEMORY TO COMPLETE THE RUN";

}  // namespace

std::int32_t RunEngine(Run& R, std::int32_t code) {
  if (code != 12) return 1;
  // The frequency workers are the run's threads; OpenBLAS's are stopped
  // until the run has ended, also when it ends for want of memory.
  const SingleThreadedLapack lapack;
  try {
    return RunStages(R);
  } catch (const std::bad_alloc&) {
    return EndRun(R, kNoMemory);
  } catch (const std::length_error&) {  // storage larger than can ever be had
    return EndRun(R, kNoMemory);
  } catch (...) {
    return EndRun(R, "THE RUN STOPPED ON AN INTERNAL ERROR");
  }
}

std::int32_t RunEngine(std::int32_t code) {
  if (code != 12) return 1;
  std::unique_ptr<Run> R;
  try {
    R = std::make_unique<Run>();
  } catch (...) {
    ConsoleWhy(stdout, kNoMemory);  // no file is open yet
    return 3;
  }
  return RunEngine(*R, code);
}
