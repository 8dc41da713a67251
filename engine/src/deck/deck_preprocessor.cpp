// The deck pre-processor: comments, repeat groups, delimiters and code
// letters (pass 1), then one number per record (pass 2).
//
// Rules where the deck leaves a choice:
// - A minus sign right before a code letter that stands alone (with a blank
//   or the piece start before the minus) is turned into a blank and the
//   letter gives its negated code: -T gives -999, -H 999, -F 0.
// - A repeat group without ")" on its line runs to the end of the line.
// - A repeat count of 0 gives nothing; the comma that replaced a blank in
//   front of the count stays, which only ends the piece before it.
#include "deck_preprocessor.h"

#include <cstdio>

#include "report_writer.h"
#include "run_state.h"

namespace {

constexpr std::size_t kRecord = 80;
constexpr std::size_t kBuffer = 500;

int CodeOf(char c, bool& found) {
  static constexpr char kLetters[7] = {'T', 'H', 'F', 'Q', 'P', 'S', 'V'};
  static constexpr int kCodes[7] = {999, -999, 0, -997, 998, -998, -996};
  for (int k = 0; k < 7; ++k)
    if (c == kLetters[k]) {
      found = true;
      return kCodes[k];
    }
  found = false;
  return 0;
}

std::string Code4(int code) {
  char b[16];
  std::snprintf(b, sizeof b, "%4d", code);
  return b;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Comment removal and repeat expansion into the item buffer.
std::string Expand(const std::string& rec, std::size_t n, bool& overflow) {
  std::string buf;
  overflow = false;
  auto put = [&](char c) {
    if (buf.size() >= kBuffer) {
      overflow = true;
      return false;
    }
    buf.push_back(c);
    return true;
  };
  for (std::size_t i = 0; i < n; ++i) {
    char c = rec[i];
    if (c == '(' && i > 0 && IsDigit(rec[i - 1]) && !buf.empty()) {
      int count = rec[i - 1] - '0';
      buf.pop_back();
      if (!buf.empty() && buf.back() == ' ') buf.back() = ',';
      std::size_t close = rec.find(')', i + 1);
      if (close == std::string::npos || close >= n) close = n;
      std::string text = rec.substr(i + 1, close - i - 1);
      for (int r = 0; r < count && !overflow; ++r) {
        for (char t : text)
          if (!put(t)) break;
        if (!overflow) put(',');
      }
      if (overflow) return buf;
      if (count > 0) buf.pop_back();
      i = close;  // resumes after the ")"
      continue;
    }
    if (!put(c)) return buf;
  }
  return buf;
}

}  // namespace

std::vector<std::string> PrepassPieces(const std::string& record, bool& overflow) {
  std::vector<std::string> out;
  overflow = false;
  std::string rec = record.substr(0, std::min(record.size(), kRecord));
  std::size_t n = rec.find('$');
  if (n == 0) return out;
  if (n == std::string::npos) n = rec.size();
  while (n > 0 && rec[n - 1] == ' ') --n;
  if (n == 0) return out;
  std::string buf = Expand(rec, n, overflow);

  std::string piece;
  auto flush = [&]() {
    if (!piece.empty()) out.push_back(piece.substr(0, std::min(piece.size(), kRecord)));
    piece.clear();
  };
  const std::size_t len = buf.size();
  auto rightFree = [&](std::size_t j) {
    return j >= len || buf[j] == ' ' || buf[j] == '=' || buf[j] == ',';
  };
  for (std::size_t i = 0; i < len; ++i) {
    char c = buf[i];
    if (c == ',' || c == '=') {
      flush();
      continue;
    }
    if (c == '*') {
      flush();
      out.push_back(Code4(-999));
      continue;
    }
    bool isCode = false;
    int code = CodeOf(c, isCode);
    if (isCode && (piece.empty() || piece.back() == ' ') && rightFree(i + 1)) {
      flush();
      out.push_back(Code4(code));
      continue;
    }
    if (c == '-' && i + 1 < len && (piece.empty() || piece.back() == ' ') && rightFree(i + 2)) {
      bool next = false;
      int ncode = CodeOf(buf[i + 1], next);
      if (next) {
        piece.push_back(' ');
        flush();
        out.push_back(Code4(-ncode));
        ++i;
        continue;
      }
    }
    piece.push_back(c);
  }
  flush();
  return out;
}

std::vector<std::string> SplitNumbers(const std::string& record) {
  std::vector<std::string> out;
  std::string rec = record.substr(0, std::min(record.size(), kRecord));
  rec.resize(kRecord, ' ');
  std::size_t p = rec.find_first_not_of(' ');
  if (p == std::string::npos) return out;
  char first = rec[p];
  if (!(IsDigit(first) || first == '.' || first == '+' || first == '-')) {
    std::string w = record.substr(0, std::min(record.size(), kRecord));
    out.push_back(w);
    return out;
  }
  std::string tok;
  std::size_t start = p;
  bool hasE = false, hasDot = false;
  auto finish = [&]() {
    if (tok.empty()) return;
    if (hasE) {
      out.push_back(tok.size() < 20 ? std::string(20 - tok.size(), ' ') + tok : tok);
    } else {
      out.push_back(hasDot ? tok : tok + ".");
    }
    tok.clear();
    hasE = hasDot = false;
  };
  for (std::size_t i = p; i < kRecord; ++i) {
    char c = rec[i];
    if (c == ' ') {
      finish();
      continue;
    }
    if (tok.empty()) start = i;
    char prev = i > 0 ? rec[i - 1] : ' ';
    bool ok = IsDigit(c) || c == '.' || c == 'E' || c == '+' || (c == '-' && (prev == ' ' || prev == 'E' || i == p));
    if (!ok) {
      std::string rest = rec.substr(start);
      while (!rest.empty() && rest.back() == ' ') rest.pop_back();
      out.push_back(rest);
      return out;
    }
    if (c == 'E') hasE = true;
    if (c == '.') hasDot = true;
    tok.push_back(c);
  }
  finish();
  return out;
}

void PREPRO(Run& R) {
  const int deck = R.IUNIT[kDeckChannel];
  const int t7 = R.IUNIT[kCleanDeckChannel];
  const int t8 = R.IUNIT[kScratchChannel];
  const int out = R.IUNIT[kReportChannel];
  std::string rec;
  while (R.ch.Read(deck, rec) == ChannelTable::kRead) {
    bool overflow = false;
    std::vector<std::string> pieces = PrepassPieces(rec, overflow);
    if (overflow) {
      std::string rec80 = rec.substr(0, std::min(rec.size(), kRecord));
      rec80.resize(kRecord, ' ');
      WRITE(R, out,
            "(///'***   INPUT DATA RECORD TOO LONG DUE TO REPEAT    FEATURE   ***'/"
            "/' ***   DATA TRUNCATED ON THE FOLLOWING LINE    ***'//1X,A80)",
            {rec80});
    }
    for (const std::string& piece : pieces) R.ch.Write(t8, piece);
  }
  R.ch.Rewind(t8);
  R.ch.Rewind(t7);
  while (R.ch.Read(t8, rec) == ChannelTable::kRead)
    for (const std::string& item : SplitNumbers(rec)) R.ch.Write(t7, item);
  R.ch.Rewind(t7);
  R.ch.Rewind(t8);
  R.ch.Write(t8, " ");
  R.ch.Rewind(t8);
  R.IUNIT[kDeckChannel] = R.IUNIT[kCleanDeckChannel];
}
