// Page headings, the run banner, the title reader and the unit labels.
//
// The unit labels live in Run::LABEL, numbered 1 to 18 as below; each has its
// fixed width (trailing blanks included) and is blank until UNITLB has run.
#pragma once

#include <string>

struct Run;

enum UnitLabelNo {
  LBL_LENGTH = 1,     // 2
  LBL_MOMENT = 2,     // 5
  LBL_FORCE = 3,      // 3
  LBL_PRESSURE = 4,   // 3
  LBL_UNITWT = 5,     // 8
  LBL_ACCEL = 6,      // 7
  LBL_AREA = 7,       // 5
  LBL_VELOCITY = 8,   // 4
  LBL_SECMOM = 9,     // 5
  LBL_MASS = 10,      // 4
  LBL_MASSINER = 11,  // 10
  LBL_TSTIFF = 12,    // 5
  LBL_RSTIFF = 13,    // 9
  LBL_TDAMP = 14,     // 9
  LBL_RDAMP = 15,     // 13
  LBL_CSTIFF = 16,    // 6
  LBL_CDAMP = 17,     // 10
  LBL_MASSLEN = 18,   // 7
};

// mode 1 data-echo page, 2 results page; status = 1.
void HEADNG(Run& R, int mode, int& status);
void BANNER(Run& R, int& status);
// status 1 read, -1 end of the deck.
void RDTITL(Run& R, int& status);
void UNITLB(Run& R);

// The date (10 characters, MM/DD/YYYY) and time (8, HH:MM:SS) of the banner.
std::string BannerDate();
std::string BannerTime();

// Drive+directory and name+extension of a path as the headings print them.
void SplitPath(const std::string& path, std::string& dir, std::string& name);
