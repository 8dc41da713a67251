// Numbered channels kept in memory and mirrored to their files.
#include "channels.h"

#include <cerrno>
#include <cstdio>
#include <new>

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A file that cannot be opened for want of memory (fopen's own storage) is
// a run without memory, not a missing or unwritable file.
File OpenFile(const std::string& path, const char* mode) {
  errno = 0;
  File f(std::fopen(path.c_str(), mode));
  if (!f && errno == ENOMEM) throw std::bad_alloc();
  return f;
}

// Reads a text file into records, dropping the line endings (LF or CR LF).
bool ReadLines(const std::string& path, std::vector<std::string>& out) {
  File f = OpenFile(path, "rb");
  if (!f) return false;
  std::string line;
  int c;
  bool any = false;
  errno = 0;
  while ((c = std::fgetc(f.get())) != EOF) {
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
  if (std::ferror(f.get()) && errno == ENOMEM) throw std::bad_alloc();  // stdio's buffer
  if (any) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return true;
}

void PutRecord(std::FILE* f, const std::string& record) {
  std::fputs(record.c_str(), f);
  std::fputc('\n', f);
}

}  // namespace

struct ChannelTable::Channel {
  std::string path;
  std::vector<std::string> records;
  std::size_t pos = 0;     // index of the next record to read or write
  std::size_t inFile = 0;  // records[0, inFile) are already in the file
  File fp;                 // open for writing while the channel is open
};

ChannelTable::ChannelTable() = default;
ChannelTable::~ChannelTable() = default;

bool ChannelTable::Open(int unit, const std::string& path, bool forOutput, bool createMissing) {
  Close(unit);
  if (path.empty()) return false;
  auto ch = std::make_unique<Channel>();
  ch->path = path;
  if (forOutput) {
    ch->fp = OpenFile(path, "wb");
    if (!ch->fp) return false;
  } else {
    if (!ReadLines(path, ch->records)) {
      if (!createMissing || !OpenFile(path, "wb")) return false;
    }
    ch->inFile = ch->records.size();
  }
  open_[unit] = std::move(ch);
  return true;
}

bool ChannelTable::IsOpen(int unit) const { return open_.count(unit) != 0; }

void ChannelTable::Close(int unit) { open_.erase(unit); }

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
    PutRecord(ch.fp.get(), record);
    ch.inFile = ch.pos;
    return;
  }
  // Writing inside the file (after a rewind or backspace): the file is
  // rewritten up to the new end, as a sequential file would be truncated.
  ch.fp.reset();
  ch.fp = OpenFile(ch.path, "wb");
  if (!ch.fp) {
    ch.inFile = 0;
    return;
  }
  for (const std::string& r : ch.records) PutRecord(ch.fp.get(), r);
  ch.inFile = ch.records.size();
}
