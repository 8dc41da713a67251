// The layout-string formatter of every report line.
//
// Rules of the formatter (the report's own conventions):
// - Iw, Fw.d, Ew.d (and Dw.d) are right-aligned; a value that does not fit,
//   or is not a finite number, fills its field with asterisks.
// - Fw.d rounds to d decimals, a value half-way between two roundings away
//   from zero (F6.2 of 0.125 is "  0.13"); a value that rounds to zero prints without a
//   minus sign (F7.3 of -0.0004 is "  0.000").  The zero before the decimal
//   point is dropped only when the field has no room for it.
// - Ew.d prints the mantissa 0.ddd (d digits) and E, sign and two exponent
//   digits; under 1P the mantissa has one non-zero digit before the point and
//   d after it, rounded like Fw.d.  1P and 0P act on exponent fields only.  An exponent of three
//   digits drops the letter E (0.123+100); a longer one gives asterisks.
// - nX moves n columns on; blanks it skips appear only when something is
//   written after them, so a record never ends in blanks from nX.
// - Aw prints the first w characters of the text, right-aligned with blanks
//   in front when the text is shorter; A prints the whole text.
// - A value of the wrong kind for its field fills the field with asterisks.
// - When the values run out, the layout is followed up to the next field that
//   needs a value; when values are left at the end of the layout, a new record
//   starts and the layout is taken up again at its last top-level n(...)
//   group (or at its beginning when it has none).
// - A quote inside a quoted text that is not followed by the end of an item
//   is taken as a quote character: ' 'CONSTANT' KEY' prints  'CONSTANT' KEY.
// - nIw, nFw.d, nEw.d, nAw repeat a field n times; 0(...) produces nothing.
#include "report_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "run_state.h"

namespace {

struct Item {
  enum Kind { kText, kBlank, kInt, kFix, kExp, kAlpha, kSlash, kScale, kGroup };
  Kind kind = kText;
  int rep = 1;
  int w = 0;   // field width (0 for A alone)
  int d = 0;   // decimals / digits
  int m = -1;  // Iw.m minimum digits
  char letter = 'E';
  std::string text;
  std::vector<Item> sub;
};

struct Parser {
  std::string_view s;
  std::size_t i = 0;

  void SkipBlanks() {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  }
  bool Digit() const { return i < s.size() && s[i] >= '0' && s[i] <= '9'; }
  int Number() {
    int v = 0;
    while (Digit()) {
      if (v < 100000) v = v * 10 + (s[i] - '0');
      ++i;
    }
    return v;
  }
  static char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

  // Items up to the matching ')' (or the end of the text).
  std::vector<Item> List() {
    std::vector<Item> out;
    while (true) {
      SkipBlanks();
      if (i >= s.size()) return out;
      char c = s[i];
      if (c == ')') {
        ++i;
        return out;
      }
      if (c == ',') {
        ++i;
        continue;
      }
      if (c == '/') {
        ++i;
        Item it;
        it.kind = Item::kSlash;
        out.push_back(it);
        continue;
      }
      if (c == '\'' || c == '"') {
        out.push_back(Quoted(c));
        continue;
      }
      int rep = -1;
      bool negative = false;
      if (c == '-' || c == '+') {
        negative = c == '-';
        ++i;
      }
      if (Digit()) rep = Number();
      if (negative) rep = -rep;
      SkipBlanks();
      if (i >= s.size()) return out;
      c = Upper(s[i]);
      Item it;
      if (c == '(') {
        ++i;
        it.kind = Item::kGroup;
        it.rep = rep < 0 ? 1 : rep;
        it.sub = List();
      } else if (c == 'X') {
        ++i;
        it.kind = Item::kBlank;
        it.w = rep < 0 ? 1 : rep;
      } else if (c == 'P') {
        ++i;
        it.kind = Item::kScale;
        it.w = rep < 0 ? 0 : rep;
        if (negative) it.w = rep;
      } else if (c == 'I' || c == 'F' || c == 'E' || c == 'D' || c == 'A') {
        ++i;
        it.rep = rep < 0 ? 1 : rep;
        it.kind = c == 'I' ? Item::kInt : c == 'F' ? Item::kFix : c == 'A' ? Item::kAlpha : Item::kExp;
        it.letter = c == 'D' ? 'D' : 'E';
        it.w = Digit() ? Number() : 0;
        if (i < s.size() && s[i] == '.') {
          ++i;
          if (c == 'I')
            it.m = Number();
          else
            it.d = Number();
        }
      } else if (c == '\'' || c == '"') {
        // A count in front of a quoted text repeats it.
        Item q = Quoted(s[i]);
        Item g;
        g.kind = Item::kGroup;
        g.rep = rep < 0 ? 1 : rep;
        g.sub.push_back(q);
        out.push_back(g);
        continue;
      } else {
        ++i;  // an item this formatter does not know is skipped
        continue;
      }
      out.push_back(it);
    }
  }

  Item Quoted(char q) {
    Item it;
    it.kind = Item::kText;
    ++i;
    while (i < s.size()) {
      if (s[i] == q) {
        if (i + 1 < s.size() && s[i + 1] == q) {
          it.text.push_back(q);
          i += 2;
          continue;
        }
        // A quote ends the text only where an item may end; one followed by
        // other text (as in ' 'CONSTANT' KEYWORD') is part of the text.
        std::size_t j = i + 1;
        while (j < s.size() && s[j] == ' ') ++j;
        if (j >= s.size() || s[j] == ',' || s[j] == '/' || s[j] == ')' || s[j] == ':') {
          ++i;
          break;
        }
      }
      it.text.push_back(s[i++]);
    }
    return it;
  }
};

bool HasData(const std::vector<Item>& items) {
  for (const Item& it : items) {
    if (it.kind == Item::kInt || it.kind == Item::kFix || it.kind == Item::kExp || it.kind == Item::kAlpha)
      return true;
    if (it.kind == Item::kGroup && it.rep > 0 && HasData(it.sub)) return true;
  }
  return false;
}

std::string Stars(int w) { return std::string(w > 0 ? w : 0, '*'); }

std::string RightAlign(const std::string& body, int w) {
  if (static_cast<int>(body.size()) > w) return Stars(w);
  return std::string(w - body.size(), ' ') + body;
}

// Adds one unit in the last digit of a string of digits (with or without a
// decimal point); a carry out of the first digit prepends a 1.
std::string IncrementDigits(std::string s) {
  for (std::size_t k = s.size(); k-- > 0;) {
    if (s[k] == '.') continue;
    if (s[k] == '9') {
      s[k] = '0';
      continue;
    }
    ++s[k];
    return s;
  }
  return "1" + s;
}

// Whether digits[from...] of an expansion printed with 60 extra digits are
// 5 followed by zeros: the value lies exactly half-way between two
// roundings (60 further digits are far more than a float or a double of the
// report's magnitudes needs to show that it does not).
bool ExactTie(const std::string& digits, std::size_t from) {
  if (from >= digits.size() || digits[from] != '5') return false;
  for (std::size_t k = from + 1; k < digits.size(); ++k)
    if (digits[k] != '0') return false;
  return true;
}

bool AsReal(const FmtValue& v, double& x) {
  if (auto p = std::get_if<float>(&v)) {
    x = *p;
    return true;
  }
  if (auto p = std::get_if<double>(&v)) {
    x = *p;
    return true;
  }
  if (auto p = std::get_if<int>(&v)) {
    x = *p;
    return true;
  }
  return false;
}

std::string FormatInt(const FmtValue& v, int w, int m) {
  const int* p = std::get_if<int>(&v);
  if (!p || w <= 0) return Stars(w);
  long long x = *p;
  std::string digits = std::to_string(x < 0 ? -x : x);
  if (m >= 0) {
    if (m == 0 && x == 0) digits.clear();
    while (static_cast<int>(digits.size()) < m) digits.insert(digits.begin(), '0');
  }
  return RightAlign((x < 0 ? "-" : "") + digits, w);
}

std::string FormatFix(const FmtValue& v, int w, int d) {
  double x;
  if (!AsReal(v, x) || !std::isfinite(x) || w <= 0) return Stars(w);
  char buf[400];
  if (std::fabs(x) >= 1e300) return Stars(w);
  std::snprintf(buf, sizeof buf, "%.*f", d + 60, std::fabs(x));
  std::string body = buf;
  std::size_t point = body.find('.');
  if (ExactTie(body, point + 1 + d)) {
    body = IncrementDigits(body.substr(0, d == 0 ? point : point + 1 + d));  // halves go away from zero
  } else {
    std::snprintf(buf, sizeof buf, "%.*f", d, std::fabs(x));
    body = buf;
  }
  if (d == 0) body += '.';
  bool zero = body.find_first_not_of("0.") == std::string::npos;
  bool negative = std::signbit(x) && !zero;
  if (negative) body.insert(body.begin(), '-');
  if (static_cast<int>(body.size()) > w) {
    // The optional zero before the point goes first.
    std::size_t z = negative ? 1 : 0;
    if (body.size() > z + 1 && body[z] == '0' && body[z + 1] == '.') body.erase(z, 1);
  }
  return RightAlign(body, w);
}

std::string FormatExp(const FmtValue& v, int w, int d, int scale, char letter) {
  double x;
  if (!AsReal(v, x) || !std::isfinite(x) || w <= 0) return Stars(w);
  // Significant digits: d under 0P; d + 1 under 1P (k > 0: d + 1 digits,
  // k before the point); kP with k <= 0: -k zeros after the point.
  int k = scale;
  if (k <= -d || k >= d + 2) return Stars(w);
  int sig = k > 0 ? d + 1 : d + k;
  std::string digits(sig, '0');
  int exp10 = 0;  // value = 0.digits * 10^exp10
  if (x != 0.0) {
    char buf[160];
    auto split = [&](int precision, std::string& all) {
      std::snprintf(buf, sizeof buf, "%.*e", precision, std::fabs(x));
      std::string b = buf;
      std::size_t epos = b.find('e');
      all.clear();
      for (std::size_t j = 0; j < epos; ++j)
        if (b[j] != '.') all.push_back(b[j]);
      return std::atoi(b.c_str() + epos + 1) + 1;
    };
    std::string all;
    exp10 = split(sig - 1 + 60, all);
    if (ExactTie(all, static_cast<std::size_t>(sig))) {
      digits = IncrementDigits(all.substr(0, sig));  // halves go away from zero
      if (static_cast<int>(digits.size()) > sig) {
        digits.resize(sig);
        ++exp10;
      }
    } else {
      exp10 = split(sig - 1, digits);
    }
  }
  std::string mant;
  int shownExp;
  if (k > 0) {
    mant = digits.substr(0, k) + "." + digits.substr(k);
    shownExp = x != 0.0 ? exp10 - k : 0;
  } else {
    mant = "0." + std::string(-k, '0') + digits;
    shownExp = x != 0.0 ? exp10 - k : 0;
  }
  std::string e;
  int ae = shownExp < 0 ? -shownExp : shownExp;
  char eb[16];
  if (ae <= 99)
    std::snprintf(eb, sizeof eb, "%c%c%02d", letter, shownExp < 0 ? '-' : '+', ae);
  else if (ae <= 999)
    std::snprintf(eb, sizeof eb, "%c%03d", shownExp < 0 ? '-' : '+', ae);
  else
    return Stars(w);
  e = eb;
  bool negative = std::signbit(x) && x != 0.0;
  std::string body = (negative ? "-" : "") + mant + e;
  if (static_cast<int>(body.size()) > w && k <= 0) {
    std::size_t z = negative ? 1 : 0;
    body.erase(z, 1);  // the optional leading zero
  }
  return RightAlign(body, w);
}

std::string FormatAlpha(const FmtValue& v, int w) {
  const std::string* p = std::get_if<std::string>(&v);
  if (!p) return Stars(w == 0 ? 1 : w);
  if (w == 0) return *p;
  if (static_cast<int>(p->size()) >= w) return p->substr(0, w);
  return std::string(w - p->size(), ' ') + *p;
}

struct Writer {
  const std::vector<FmtValue>& values;
  std::size_t next = 0;
  int scale = 0;
  std::vector<std::string> records{std::string()};
  bool stopped = false;
  std::size_t pendingBlanks = 0;  // nX only counts once something follows

  void Put(const std::string& text) {
    records.back().append(pendingBlanks, ' ');
    pendingBlanks = 0;
    records.back() += text;
  }

  bool Exhausted() const { return next >= values.size(); }

  // Runs the items; returns false once the values ran out at a field.
  void Run(const std::vector<Item>& items) {
    for (const Item& it : items) {
      if (stopped) return;
      switch (it.kind) {
        case Item::kText:
          Put(it.text);
          break;
        case Item::kBlank:
          pendingBlanks += it.w;
          break;
        case Item::kSlash:
          records.emplace_back();
          pendingBlanks = 0;
          break;
        case Item::kScale:
          scale = it.w;
          break;
        case Item::kGroup:
          for (int r = 0; r < it.rep && !stopped; ++r) Run(it.sub);
          break;
        default:
          for (int r = 0; r < it.rep; ++r) {
            if (Exhausted()) {
              stopped = true;
              return;
            }
            const FmtValue& v = values[next++];
            if (it.kind == Item::kInt)
              Put(FormatInt(v, it.w, it.m));
            else if (it.kind == Item::kFix)
              Put(FormatFix(v, it.w, it.d));
            else if (it.kind == Item::kExp)
              Put(FormatExp(v, it.w, it.d, scale, it.letter));
            else
              Put(FormatAlpha(v, it.w));
          }
      }
    }
  }
};

}  // namespace

std::vector<std::string> FormatRecords(std::string_view layout, const std::vector<FmtValue>& values) {
  Parser p{layout};
  p.SkipBlanks();
  if (p.i < layout.size() && layout[p.i] == '(') ++p.i;
  std::vector<Item> items = p.List();

  Writer wr{values};
  wr.Run(items);
  if (!wr.stopped && !wr.Exhausted() && HasData(items)) {
    // Values left over: new records from the last top-level group.
    std::vector<Item> tail;
    std::size_t start = 0;
    for (std::size_t j = 0; j < items.size(); ++j)
      if (items[j].kind == Item::kGroup) start = j;
    bool hasGroup = false;
    for (const Item& it : items) hasGroup = hasGroup || it.kind == Item::kGroup;
    tail.assign(items.begin() + (hasGroup ? static_cast<long>(start) : 0), items.end());
    if (!HasData(tail)) tail = items;
    while (!wr.stopped && !wr.Exhausted()) {
      std::size_t before = wr.next;
      wr.records.emplace_back();
      wr.pendingBlanks = 0;
      wr.Run(tail);
      if (wr.next == before) break;
    }
  }
  return wr.records;
}

void WRITE(Run& R, int unit, std::string_view layout, const std::vector<FmtValue>& values) {
  for (const std::string& rec : FormatRecords(layout, values)) R.ch.Write(unit, rec);
}
