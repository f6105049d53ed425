// The converters against converters nobody here wrote:
//  - Wine's own code page 932 for the UTF-8 conversions, whose tables were made
//    from it: every cell, every UTF-16 code unit, malformed and random UTF-8;
//  - Wine's code page 20932 (EUC-JP), in process, for the JIS X 0208 rows;
//  - iconv's ISO-2022-JP, EUC-JP-MS and EUC-JP through data/cells.txt, for
//    every code page 932 character (lead bytes 81-9F and E0-FC).
// Wine 8 answers no code page 51932 and none of 50220-50222 (GetCPInfoEx and
// the conversions fail with ERROR_INVALID_PARAMETER), hence iconv for JIS.
//
// Cells where those converters differ by design are named in the test names:
// the NEC special row 13 (lead 87), whose symbols repeat row 2 symbols and
// which JIS X 0208 lacks (kept in row 13, as EUC-JP-MS has it); the
// NEC-selected IBM extension rows 89-92 (leads ED and EE), which the others
// place in JIS X 0212 and which are kept in rows 89-92; and the six row 1-2
// cells for which code page 932 uses other code points than the JIS tables
// (～ ∥ － ￠ ￡ ￢).
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "document/encoding.h"
#include "tests/document/encoding_test_util.h"

namespace {

// ---- The system's conversions -------------------------------------------------

std::wstring SystemWide(UINT codePage, const std::string& bytes, DWORD flags = 0) {
  if (bytes.empty()) return {};
  std::wstring wide(bytes.size() * 2 + 2, L'\0');
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &wide[0],
                                    static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

std::string SystemBytes(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return {};
  std::string bytes(wide.size() * 4, '\0');
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0],
                                    static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return bytes;
}

// Whether the unit survives code page 932: it has a code there, and that code
// reads back as the same unit (not the default character, not a look-alike).
bool SurvivesCp932(wchar_t w) {
  char bytes[4];
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(932, 0, &w, 1, bytes, sizeof bytes, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  wchar_t back[2];
  return MultiByteToWideChar(932, 0, bytes, n, back, 2) == 1 && back[0] == w;
}

// Characters of `wide` that do not survive code page 932; a surrogate pair
// counts once, a lone surrogate once.
std::size_t LostInCp932(const std::wstring& wide) {
  std::size_t lost = 0;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const wchar_t w = wide[i];
    if (w >= 0xD800 && w <= 0xDFFF) {
      if (w <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
      ++lost;
    } else if (!SurvivesCp932(w)) {
      ++lost;
    }
  }
  return lost;
}

// Each JIS code point with code page 932's for the same cell (the converter
// reads both as it): where iconv's SHIFT_JIS and CP932 (data/jis0208.*) differ.
const std::map<wchar_t, wchar_t>& JisForms() {
  static const std::map<wchar_t, wchar_t> forms = [] {
    std::map<wchar_t, wchar_t> m;
    const std::wstring jis = SystemWide(CP_UTF8, ReadDataFile("jis0208.utf8.txt"));
    const std::wstring ms = SystemWide(CP_UTF8, ReadDataFile("jis0208.ms.utf8.txt"));
    for (std::size_t i = 0; i < jis.size() && i < ms.size(); ++i) if (jis[i] != ms[i]) m[jis[i]] = ms[i];
    return m;
  }();
  return forms;
}

// Compares Utf8ToShiftJis over `utf8` with the system's UTF-8 -> UTF-16 ->
// code page 932 and the count above; answers a description of the first
// difference, or an empty string.
std::string CompareUtf8ToSjis(const std::string& utf8) {
  std::string ours = utf8;
  std::size_t lost = 0;
  ours.resize(Utf8ToShiftJis(&ours[0], utf8.size(), &lost));
  const bool bom = utf8.compare(0, 3, "\xEF\xBB\xBF") == 0;
  std::wstring wide = SystemWide(CP_UTF8, bom ? utf8.substr(3) : utf8);
  for (wchar_t& w : wide) {
    const auto form = JisForms().find(w);
    if (form != JisForms().end()) w = form->second;
  }
  const std::string expected = SystemBytes(932, wide);
  const std::size_t expectedLost = LostInCp932(wide);
  if (ours == expected && lost == expectedLost) return {};
  return Hex(utf8) + ": " + Hex(ours) + " lost " + std::to_string(lost) + ", system " + Hex(expected) + " lost " +
         std::to_string(expectedLost);
}

// Compares ShiftJisToUtf8 over `sjis` with the system's code page 932 ->
// UTF-16 -> UTF-8 and with the characters the strict conversion refuses.
std::string CompareSjisToUtf8(const std::string& sjis, std::size_t expectedLost) {
  std::size_t lost = 0;
  const std::string ours = ShiftJisToUtf8(sjis, &lost);
  const std::string expected = SystemBytes(CP_UTF8, SystemWide(932, sjis));
  if (ours == expected && lost == expectedLost) return {};
  return Hex(sjis) + ": " + Hex(ours) + " lost " + std::to_string(lost) + ", system " + Hex(expected) + " lost " +
         std::to_string(expectedLost);
}

// Gathers the failures of a long run into one expectation.
class Differences {
 public:
  void Add(const std::string& difference) {
    if (difference.empty()) return;
    if (count_++ < 5) examples_ += "\n  " + difference;
  }
  std::size_t count() const { return count_; }
  const std::string& examples() const { return examples_; }

 private:
  std::size_t count_ = 0;
  std::string examples_;
};

std::uint32_t state = 0x2545F491u;
unsigned Next(unsigned bound) {
  state ^= state << 13, state ^= state >> 17, state ^= state << 5;
  return state % bound;
}

// ---- UTF-8 ----------------------------------------------------------------------

TEST(Utf8Oracle, EveryCodeUnitWritesTheSystemsBytesAndCountsWhatItLoses) {
  ASSERT_EQ(JisForms().size(), 6u);
  Differences differences;
  for (unsigned u = 0; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;  // no UTF-8 form; reached through the pairs below
    differences.Add(CompareUtf8ToSjis(SystemBytes(CP_UTF8, std::wstring(1, static_cast<wchar_t>(u)))));
  }
  // Every high and every low surrogate, as halves of characters beyond the BMP.
  for (unsigned k = 0; k < 0x400; ++k) {
    const wchar_t pair[] = {static_cast<wchar_t>(0xD800 + k), static_cast<wchar_t>(0xDC00 + (k * 7 % 0x400))};
    differences.Add(CompareUtf8ToSjis(SystemBytes(CP_UTF8, std::wstring(pair, 2))));
  }
  EXPECT_EQ(differences.count(), 0u) << differences.examples();
}

TEST(Utf8Oracle, MalformedAndRandomUtf8ReadsAsTheSystemReadsIt) {
  Differences differences;
  // Every byte from 80 up followed by every byte, at the end and before more text.
  for (int a = 0x80; a < 0x100; ++a) {
    for (int b = 0; b < 0x100; ++b) {
      const std::string pair = {static_cast<char>(a), static_cast<char>(b)};
      differences.Add(CompareUtf8ToSjis(pair));
      differences.Add(CompareUtf8ToSjis(pair + "\x80\xBF" "a"));
    }
  }
  // Random runs of lead, continuation and boundary bytes.
  const unsigned char kBytes[] = {0x00, 0x0D, 'a',  0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
                                  0xC2, 0xDF, 0xE0, 0xE3, 0xED, 0xEE, 0xEF, 0xF0, 0xF3, 0xF4, 0xF5, 0xFF};
  for (int round = 0; round < 30000; ++round) {
    std::string text;
    for (unsigned n = 1 + Next(12); n > 0; --n)
      text += static_cast<char>(Next(5) ? kBytes[Next(sizeof kBytes)] : Next(256));
    differences.Add(CompareUtf8ToSjis(text));
  }
  EXPECT_EQ(differences.count(), 0u) << differences.examples();
}

// Whether the system's strict conversion refuses `cell`.
bool Undefined(const std::string& cell) { return SystemWide(932, cell, MB_ERR_INVALID_CHARS).empty(); }

TEST(Utf8Oracle, EveryCellOfCodePage932ReadsAsTheSystemReadsIt) {
  Differences differences;
  for (int b = 0; b < 0x100; ++b) {
    const std::string single(1, static_cast<char>(b));
    differences.Add(CompareSjisToUtf8(single, b != 0 && Undefined(single)));
  }
  for (const std::string& cell : DoubleByteCells()) differences.Add(CompareSjisToUtf8(cell, Undefined(cell)));
  // Runs of cells (single bytes other than lead bytes, and pairs).
  const std::vector<std::string> cells = DoubleByteCells();
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    std::size_t undefined = 0;
    for (unsigned n = 1 + Next(20); n > 0; --n) {
      std::string cell = cells[Next(static_cast<unsigned>(cells.size()))];
      if (Next(2)) {
        cell = std::string(1, static_cast<char>(Next(256)));
        if (cp932::IsLeadByte(cell[0])) continue;
      }
      undefined += cell[0] != '\0' && Undefined(cell);
      text += cell;
    }
    differences.Add(CompareSjisToUtf8(text, undefined));
  }
  EXPECT_EQ(differences.count(), 0u) << differences.examples();
}

// ---- EUC-JP and JIS ---------------------------------------------------------------

bool IsNecOrIbmRow(const std::string& cell) {
  const unsigned char lead = static_cast<unsigned char>(cell[0]);
  return lead == 0x87 || lead == 0xED || lead == 0xEE;
}

const std::set<std::string> kCp932OnlyCodePoints = {"8160", "8161", "817C", "8191", "8192", "81CA"};

// Each character Wine's code page 932 defines in the JIS X 0208 rows, with
// its code point, and each half-width katakana.
std::map<std::string, wchar_t> Cp932Cells() {
  std::map<std::string, wchar_t> cells;
  auto add = [&](const std::string& cell) {
    wchar_t w[2];
    if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cell.data(), static_cast<int>(cell.size()), w, 2) == 1)
      cells[cell] = w[0];
  };
  for (const std::string& cell : DoubleByteCells()) {
    if (static_cast<unsigned char>(cell[0]) <= 0xEF) add(cell);
  }
  for (int kana = 0xA1; kana <= 0xDF; ++kana) add(std::string(1, static_cast<char>(kana)));
  return cells;
}

TEST(EncodingOracle, EveryJisX0208CellAndHalfWidthKatakanaRoundTrips) {
  const auto cells = Cp932Cells();
  EXPECT_GT(cells.size(), 7000u);
  for (const auto& [sjis, code] : cells) {
    EXPECT_EQ(Hex(EucToSjis(SjisToEuc(sjis))), Hex(sjis));
    EXPECT_EQ(Hex(JisToSjis(SjisToJis(sjis))), Hex(sjis));
  }
}

TEST(EncodingOracle, EucMatchesWineCodePage20932ExceptNecRow13IbmRows89To92AndCp932OnlyCodePoints) {
  std::set<std::string> lacking;  // cells whose code point 20932 has no code for
  std::size_t compared = 0;
  for (const auto& [sjis, code] : Cp932Cells()) {
    if (IsNecOrIbmRow(sjis)) continue;
    char expected[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(20932, 0, &code, 1, expected, sizeof expected, nullptr, &usedDefault);
    if (usedDefault) {
      lacking.insert(Hex(sjis));
      continue;
    }
    const std::string euc = SjisToEuc(sjis);
    EXPECT_EQ(Hex(euc), Hex(std::string(expected, n))) << Hex(sjis);
    wchar_t back[2] = {};
    MultiByteToWideChar(20932, 0, euc.data(), static_cast<int>(euc.size()), back, 2);
    EXPECT_EQ(back[0], code) << Hex(sjis);
    ++compared;
  }
  EXPECT_EQ(lacking, kCp932OnlyCodePoints);
  EXPECT_GE(compared, 6879u + 63u - 6u);  // all of JIS X 0208 but the six, and the katakana
}

// One line of data/cells.txt.
struct IconvCell {
  std::string sjis, jis, eucMs, euc;  // hex, "-" where iconv has no code
};

std::vector<IconvCell> IconvCells() {
  std::istringstream lines(ReadDataFile("cells.txt"));
  std::vector<IconvCell> cells;
  IconvCell c;
  while (lines >> c.sjis >> c.jis >> c.eucMs >> c.euc) cells.push_back(c);
  return cells;
}

TEST(EncodingOracle, JisAndEucMatchIconvExceptNecRow13IbmRows89To92AndCp932OnlyCodePoints) {
  std::size_t jisCompared = 0, eucCompared = 0;
  std::set<std::string> jisMissing;
  for (const IconvCell& c : IconvCells()) {
    const std::string sjis = FromHex(c.sjis);
    if (IsNecOrIbmRow(sjis) || static_cast<unsigned char>(sjis[0]) >= 0xF0) continue;
    if (c.jis == "-") {
      jisMissing.insert(c.sjis);
    } else {
      EXPECT_EQ(Hex(SjisToJis(sjis)), c.jis);
      EXPECT_EQ(Hex(JisToSjis(FromHex(c.jis))), c.sjis);
      ++jisCompared;
    }
    // EUC-JP-MS follows code page 932's code points, so the six cells count here.
    EXPECT_EQ(Hex(SjisToEuc(sjis)), c.eucMs);
    EXPECT_EQ(Hex(EucToSjis(FromHex(c.eucMs))), c.sjis);
    ++eucCompared;
  }
  EXPECT_EQ(jisMissing, kCp932OnlyCodePoints);
  EXPECT_GE(jisCompared, 6879u + 63u - 6u);
  EXPECT_GE(eucCompared, 6879u + 63u);
}

// EUC-JP-MS keeps NEC row 13 in row 13 (AD), except nine symbols that it
// writes as their row 2 twins (which read back as other cells).
TEST(EncodingOracle, NecRow13KeepsTheRowEucJpMsGivesIt) {
  std::size_t compared = 0;
  for (const IconvCell& c : IconvCells()) {
    if (c.sjis.compare(0, 2, "87") != 0 || c.eucMs.compare(0, 2, "AD") != 0) continue;
    std::size_t eucLost = 1, jisLost = 1;
    EXPECT_EQ(Hex(SjisToEuc(FromHex(c.sjis), &eucLost)), c.eucMs);
    const std::string row13 = FromHex(c.eucMs);
    const std::string jis = {static_cast<char>(row13[0] - 0x80), static_cast<char>(row13[1] - 0x80)};
    EXPECT_EQ(SjisToJis(FromHex(c.sjis), &jisLost), "\x1B$B" + jis + "\x1B(B") << c.sjis;
    EXPECT_EQ(eucLost + jisLost, 0u) << c.sjis;
    ++compared;
  }
  EXPECT_EQ(compared, 74u);
}

// The user-defined area and the IBM extensions: plain EUC-JP and ISO-2022-JP
// have no two-byte code for them (iconv writes JIS X 0212 for some, and
// EUC-JP-MS its own rows), so both get the geta mark and count. The one cell
// iconv does write in JIS X 0208, FA 5B (∵), does so as its twin 81 E6,
// which reads back as another cell.
TEST(EncodingOracle, LeadBytesF0ToFcHaveNoPlainEucOrJisCodeAndBecomeTheGetaMark) {
  std::size_t compared = 0;
  for (const IconvCell& c : IconvCells()) {
    const std::string sjis = FromHex(c.sjis);
    if (static_cast<unsigned char>(sjis[0]) < 0xF0) continue;
    if (c.sjis == "FA5B") {
      EXPECT_EQ(Hex(JisToSjis(FromHex(c.jis))), "81E6");
    } else {
      EXPECT_EQ(c.jis, "-") << c.sjis;
      EXPECT_TRUE(c.euc == "-" || c.euc.compare(0, 2, "8F") == 0) << c.sjis;
    }
    std::size_t eucLost = 0, jisLost = 0;
    EXPECT_EQ(SjisToEuc(sjis, &eucLost), "\xA2\xAE") << c.sjis;
    EXPECT_EQ(SjisToJis(sjis, &jisLost), "\x1B$B\".\x1B(B") << c.sjis;
    EXPECT_EQ(eucLost + jisLost, 2u) << c.sjis;
    ++compared;
  }
  EXPECT_EQ(compared, 1880u + 388u);  // ten user-defined rows, the IBM extensions
}

}  // namespace
