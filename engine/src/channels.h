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

// The report's channel (the run's unit table maps it to itself).
inline constexpr int kReportChannel = 16;

class ChannelTable {
 public:
  // Result of a record read.
  enum ReadStatus { kEnd = 0, kRead = 1, kError = -1 };

  // Opens `unit` on `path`.  `forOutput` replaces the file; otherwise an
  // existing file is read in (a missing one is created when `createMissing`,
  // else the open fails).  Returns false when the file cannot be opened.
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
