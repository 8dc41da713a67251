// Numbered channels: sequential text files of one record per line.
//
// The readers need read, step back one record, rewind and write; a channel
// keeps its records in memory and mirrors every write to its file, so the
// scratch decks TAPE7 and TAPE8 are real files in the current directory.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

// The channels of a run.  The unit table IUNIT maps each to itself, but for
// the deck: the readers read IUNIT[kDeckChannel], the cleaned deck once the
// pre-processor has made it.
inline constexpr int kNamesChannel = 2;      // names.dat
inline constexpr int kDeckChannel = 4;       // the input deck
inline constexpr int kPlotChannel = 6;       // the plot-data file
inline constexpr int kCleanDeckChannel = 7;  // TAPE7, the cleaned deck
inline constexpr int kScratchChannel = 8;    // TAPE8, the pre-processor's scratch copy
inline constexpr int kMassChannel = 9;       // the mass data file
inline constexpr int kReportChannel = 16;    // the report

class ChannelTable {
 public:
  // Result of a record read.
  enum ReadStatus { kEnd = 0, kRead = 1, kError = -1 };

  // Opens `unit` on `path`.  `forOutput` replaces the file; otherwise an
  // existing file is read in (a missing one is created when `createMissing`,
  // else the open fails).  Returns false when the file cannot be opened;
  // throws std::bad_alloc when that is for want of memory (as every
  // method may).
  bool Open(int unit, const std::string& path, bool forOutput, bool createMissing = false);
  bool IsOpen(int unit) const;
  void Close(int unit);

  // Reads the next record of `unit` into `record` (without line ending).
  ReadStatus Read(int unit, std::string& record);
  // Steps back one record; at the first record it stays there.
  void Backspace(int unit);
  void Rewind(int unit);
  // Writes one record at the current position; records after it are
  // dropped, as with a sequential file.  Writing to a closed unit is a no-op.
  void Write(int unit, const std::string& record);

  ChannelTable();
  ChannelTable(const ChannelTable&) = delete;
  ChannelTable& operator=(const ChannelTable&) = delete;
  ~ChannelTable();

 private:
  struct Channel;
  std::map<int, std::unique_ptr<Channel>> open_;
};
