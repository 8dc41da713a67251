// Page headings, banner, title and unit labels of the report.
#include "report_framework.h"

#include <ctime>

#include "report_writer.h"
#include "run_state.h"

namespace {

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

std::string Fixed(std::string s, std::size_t n) {
  s.resize(n, ' ');
  return s;
}

std::tm Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

// The banner's date is month/day/year and its time hours:minutes:seconds
// (24-hour clock), local time: "12/10/2026" and "09:41:07".
std::string BannerDate() {
  std::tm tm = Now();
  char b[32];
  std::strftime(b, sizeof b, "%m/%d/%Y", &tm);
  return Fixed(b, 10);
}

std::string BannerTime() {
  std::tm tm = Now();
  char b[32];
  std::strftime(b, sizeof b, "%H:%M:%S", &tm);
  return Fixed(b, 8);
}

// Drive and directory end at the last '/' or '\' (kept); the rest is the
// file name with its extension.
void SplitPath(const std::string& path, std::string& dir, std::string& name) {
  std::string p = TrimRight(path);
  std::size_t cut = p.find_last_of("/\\");
  if (cut == std::string::npos && p.size() >= 2 && p[1] == ':') cut = 1;
  if (cut == std::string::npos) {
    dir.clear();
    name = p;
  } else {
    dir = p.substr(0, cut + 1);
    name = p.substr(cut + 1);
  }
}

void BANNER(Run& R, int& status) {
  WRITE(R, R.IUNIT[kReportChannel],
        "(///1X,49('*')/' *',47X,'*'/' *        S O I L - F O U N D A T I O N          *'/' *',47X,'*'/"
        "' *     D Y N A M I C   S I M U L A T I O N       *'/"
        "' *              VORTN ',A12,'               *'/' *',47X,'*'/"
        "' *',13X,'RUN DATE - ',1X,A10,12X,'*'/' *',13X,'TIME     -  ',A8,14X,'*'/' *',47X,'*'/"
        "1X,49('*')//1X,A80)",
        {Fixed(R.names.VERSN, 12), BannerDate(), BannerTime(), Fixed(R.names.TITLE, 80)});
  status = 1;
}

void HEADNG(Run& R, int mode, int& status) {
  BANNER(R, status);
  status = 1;
  const int out = R.IUNIT[kReportChannel];
  if (mode == 1) {
    std::string indir, inname, outdir, outname, pltdir, pltname;
    SplitPath(R.names.INFILE, indir, inname);
    SplitPath(R.names.OUTFIL, outdir, outname);
    SplitPath(R.names.PLTFIL, pltdir, pltname);
    WRITE(R, out,
          "(/'     Path to file locations      : ',A/'     Name of input data file     : ',A/"
          "'     Name of output file         : ',A/'     Name of plot output file    : ',A///"
          "22X,'DATA ECHO'/22X,9('*'))",
          {indir, inname, outname, pltname});
  } else if (mode == 2) {
    WRITE(R, out, "(/33X,'RESULTS'/33X,7('*'))");
  } else {
    WRITE(R, out, "()");
  }
}

void RDTITL(Run& R, int& status) {
  std::string rec;
  if (R.ch.Read(R.IUNIT[kDeckChannel], rec) != ChannelTable::kRead) {
    WRITE(R, R.IUNIT[kReportChannel], "(//' END OF FILE ENCOUNTERED WHILE READING TITLE')");
    status = -1;
    return;
  }
  R.names.TITLE = Fixed(rec, 80);
  if (R.flags.IECHO == 1) {
    int st = 1;
    HEADNG(R, 1, st);
  }
  status = 1;
}

void UNITLB(Run& R) {
  static constexpr const char* kEnglish[19] = {
      "",          "ft",        "lb-ft",         "lb ",          "psf",    "lb/ft**3",   "ft/s**2",
      "ft**2",     "ft/s",      "ft**4",         "slug",         "slug-ft**2", "lb/ft",  "lb-ft/rad",
      "lb/ft/sec", "lb-ft/rad/sec", "lb/rad",    "lb/rad/sec",   "slug-ft"};
  static constexpr const char* kSI[19] = {
      "",          "m ",        "kN-m ",         "kN.",          "kPa",    "kN/m**3 ",   "m/s**2 ",
      "m**2 ",     "m/s ",      "m**4 ",         "Mg  ",         "Mg-m**2   ", "kN/m ",  "kN-m/rad ",
      "kN/m/sec ", "kN-m/rad/sec ", "kN/rad",    "kN/rad/sec",   "Mg-m   "};
  const auto& tab = R.flags.IUNITS == 1 ? kEnglish : kSI;
  for (int k = 1; k <= 18; ++k) R.LABEL[k] = tab[k];
}
