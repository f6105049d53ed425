// Search over CP932 bytes with the caller's comparison.
#include "views/search.h"

#include <algorithm>

#include "platform/cp932.h"

namespace {

// Length (1 or 2) of the character at i of the source, as cp932::CharLength.
int CharLengthAt(const SearchSource& t, int i, int n) {
  return cp932::IsLeadByte(t.At(i)) && i + 1 < n && cp932::IsTrailByte(t.At(i + 1)) ? 2 : 1;
}

// The code of the character at i: its byte, or lead << 8 | trail.
unsigned CharCodeAt(const SearchSource& t, int i, int n) {
  return CharLengthAt(t, i, n) == 2 ? (t.At(i) << 8u) | t.At(i + 1) : t.At(i);
}

// True when the `n` bytes at the character start p end where a character
// ends: a find text ending in a lead byte never takes half of a character.
bool EndsACharacter(const SearchSource& t, int p, int n, int total) {
  int q = p;
  while (q < p + n) q += CharLengthAt(t, q, total);
  return q == p + n;
}

}  // namespace

void SearchFilter::Prepare(const std::string& find, SearchComparer& compare) {
  if (find.empty()) return;
  const size_t firstLength = cp932::CharLength(find.data(), 0, find.size());
  std::string key = find.substr(0, firstLength);
  if (key == m_key) return;
  std::fill(m_table.begin(), m_table.end(), 0);
  auto mark = [&](unsigned code, const char* bytes, int length) {
    if (compare.Equal(bytes, length, key.data(), static_cast<int>(key.size()), false))
      m_table[code >> 3] |= static_cast<unsigned char>(1u << (code & 7));
  };
  for (unsigned b = 1; b < 256; ++b) {
    const char c = static_cast<char>(b);
    mark(b, &c, 1);
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!cp932::IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!cp932::IsTrailByte(static_cast<unsigned char>(trail))) continue;
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      mark(lead << 8 | trail, pair, 2);
    }
  }
  m_key = std::move(key);
}

bool SearchSelectionEquals(const SearchSource& text, int selStart, int selEnd, const std::string& find,
                           bool matchCase, SearchComparer& compare) {
  const int n = static_cast<int>(find.size());
  if (find.empty() || selEnd - selStart != n || selStart < 0 || selEnd > text.Length()) return false;
  std::string scratch;
  return compare.Equal(text.Bytes(selStart, n, scratch), n, find.data(), n, matchCase);
}

int SearchText(const SearchSource& text, int selStart, int selEnd, const SearchRequest& request,
               SearchComparer& compare, SearchFilter& filter) {
  const std::string& find = request.find;
  const int n = static_cast<int>(find.size());
  const int total = text.Length();
  if (n == 0 || total < n) return -1;
  if (!request.down && selStart <= 0) return -1;

  // Candidates lie in [from, last]: character starts only.
  int from = 0, last = total - n;
  if (request.down) {
    from = selStart;
    if (selStart != selEnd && SearchSelectionEquals(text, selStart, selEnd, find, request.matchCase, compare))
      from += CharLengthAt(text, selStart, total);
    if (from > last) return -1;
  } else if (selStart - 1 < last) {
    last = selStart - 1;  // any character starting before the selection
  }

  const unsigned char first = static_cast<unsigned char>(find[0]);
  const bool firstIsDouble = cp932::CharLength(find.data(), 0, find.size()) == 2;
  const unsigned char second = firstIsDouble ? static_cast<unsigned char>(find[1]) : 0;
  if (!request.matchCase) filter.Prepare(find, compare);

  std::string scratch;
  int found = -1;
  for (int p = from; p <= last;) {
    const int length = CharLengthAt(text, p, total);
    bool candidate;
    if (request.matchCase)
      candidate = text.At(p) == first && (!cp932::IsLeadByte(first) || !firstIsDouble || text.At(p + 1) == second);
    else
      candidate = filter.Accepts(CharCodeAt(text, p, total));
    if (candidate && EndsACharacter(text, p, n, total) &&
        compare.Equal(text.Bytes(p, n, scratch), n, find.data(), n, request.matchCase)) {
      found = p;
      if (request.down) return found;
    }
    p += length;
  }
  return found;
}
