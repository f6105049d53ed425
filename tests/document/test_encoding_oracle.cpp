// The byte converters against converters nobody here wrote, over every
// character code page 932 defines in the JIS X 0208 rows (lead bytes 81-9F and
// E0-EF) and every half-width katakana:
//  - Wine's own code page 20932 (EUC-JP), in process;
//  - iconv's ISO-2022-JP and EUC-JP-MS, through data/cells.txt.
// Wine 8 answers no code page 51932 and none of 50220-50222 (GetCPInfoEx and
// the conversions fail with ERROR_INVALID_PARAMETER), hence iconv for JIS.
//
// Cells where those converters differ by design are named in the test names:
// the NEC special row 13 (lead 87), whose symbols repeat row 2 symbols and
// which JIS X 0208 lacks; the NEC-selected IBM extension rows 89-92 (leads ED
// and EE), which the others place in JIS X 0212; and the six row 1-2 cells for
// which code page 932 uses other code points than the JIS tables (～ ∥ － ￠ ￡ ￢).
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
  for (int lead = 0x81; lead <= 0xEF; ++lead) {
    if (lead == 0xA0) lead = 0xE0;
    for (int trail = 0x40; trail <= 0xFC; ++trail) add({static_cast<char>(lead), static_cast<char>(trail)});
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

TEST(EncodingOracle, JisAndEucMatchIconvExceptNecRow13IbmRows89To92AndCp932OnlyCodePoints) {
  std::istringstream lines(ReadDataFile("cells.txt"));
  std::string sjisHex, jisHex, eucHex;
  std::size_t jisCompared = 0, eucCompared = 0;
  std::set<std::string> jisMissing;
  while (lines >> sjisHex >> jisHex >> eucHex) {
    const std::string sjis = FromHex(sjisHex);
    if (IsNecOrIbmRow(sjis)) continue;
    if (jisHex == "-") {
      jisMissing.insert(sjisHex);
    } else {
      EXPECT_EQ(Hex(SjisToJis(sjis)), jisHex);
      EXPECT_EQ(Hex(JisToSjis(FromHex(jisHex))), sjisHex);
      ++jisCompared;
    }
    // EUC-JP-MS follows code page 932's code points, so the six cells count here.
    EXPECT_EQ(Hex(SjisToEuc(sjis)), eucHex);
    EXPECT_EQ(Hex(EucToSjis(FromHex(eucHex))), sjisHex);
    ++eucCompared;
  }
  EXPECT_EQ(jisMissing, kCp932OnlyCodePoints);
  EXPECT_GE(jisCompared, 6879u + 63u - 6u);
  EXPECT_GE(eucCompared, 6879u + 63u);
}

}  // namespace
