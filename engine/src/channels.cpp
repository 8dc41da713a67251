// Numbered channels kept in memory and mirrored to their files.
#include "channels.h"

#include <cstdio>

struct ChannelTable::Channel {
  std::string path;
  std::vector<std::string> records;
  std::size_t pos = 0;        // index of the next record to read or write
  std::size_t inFile = 0;     // records[0, inFile) are already in the file
  std::FILE* fp = nullptr;    // open for writing while the channel is open
};

namespace {

// Reads a text file into records, dropping the line endings (LF or CR LF).
bool ReadLines(const std::string& path, std::vector<std::string>& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::string line;
  int c;
  bool any = false;
  while ((c = std::fgetc(f)) != EOF) {
    any = true;
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(line);
      line.clear();
      any = false;
    } else {
      line.push_back(static_cast<char>(c));
    }
  }
  if (any) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  std::fclose(f);
  return true;
}

}  // namespace

bool ChannelTable::Open(int unit, const std::string& path, bool forOutput, bool createMissing) {
  Close(unit);
  if (path.empty()) return false;
  auto* ch = new Channel;
  ch->path = path;
  if (forOutput) {
    ch->fp = std::fopen(path.c_str(), "wb");
    if (!ch->fp) {
      delete ch;
      return false;
    }
  } else {
    if (!ReadLines(path, ch->records)) {
      if (!createMissing) {
        delete ch;
        return false;
      }
      std::FILE* f = std::fopen(path.c_str(), "wb");
      if (!f) {
        delete ch;
        return false;
      }
      std::fclose(f);
    }
    ch->inFile = ch->records.size();
  }
  open_[unit] = ch;
  return true;
}

bool ChannelTable::IsOpen(int unit) const { return open_.count(unit) != 0; }

void ChannelTable::Close(int unit) {
  auto it = open_.find(unit);
  if (it == open_.end()) return;
  if (it->second->fp) std::fclose(it->second->fp);
  delete it->second;
  open_.erase(it);
}

ChannelTable::ReadStatus ChannelTable::Read(int unit, std::string& record) {
  auto it = open_.find(unit);
  if (it == open_.end()) return kError;
  Channel& ch = *it->second;
  if (ch.pos >= ch.records.size()) return kEnd;
  record = ch.records[ch.pos++];
  return kRead;
}

void ChannelTable::Backspace(int unit) {
  auto it = open_.find(unit);
  if (it != open_.end() && it->second->pos > 0) --it->second->pos;
}

void ChannelTable::Rewind(int unit) {
  auto it = open_.find(unit);
  if (it != open_.end()) it->second->pos = 0;
}

void ChannelTable::Write(int unit, const std::string& record) {
  auto it = open_.find(unit);
  if (it == open_.end()) return;
  Channel& ch = *it->second;
  ch.records.resize(ch.pos);
  ch.records.push_back(record);
  ++ch.pos;
  if (ch.pos - 1 == ch.inFile && ch.fp) {
    std::fputs(record.c_str(), ch.fp);
    std::fputc('\n', ch.fp);
    ch.inFile = ch.pos;
    return;
  }
  // Writing inside the file (after a rewind or backspace): the file is
  // rewritten up to the new end, as a sequential file would be truncated.
  if (ch.fp) std::fclose(ch.fp);
  ch.fp = std::fopen(ch.path.c_str(), "wb");
  if (!ch.fp) {
    ch.inFile = 0;
    return;
  }
  for (const std::string& r : ch.records) {
    std::fputs(r.c_str(), ch.fp);
    std::fputc('\n', ch.fp);
  }
  ch.inFile = ch.records.size();
}

ChannelTable::~ChannelTable() {
  while (!open_.empty()) Close(open_.begin()->first);
}
