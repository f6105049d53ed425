// Encoding detection and conversion: the cases where a slip in the order of
// tests, an escape, a mode change or the end of the text shows, and realistic
// prose in each encoding (data files made by iconv, see data/make_data.py).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/encoding.h"
#include "tests/document/encoding_test_util.h"

namespace {

DetectionCode Detect(const std::string& s) { return DetectEncoding(s.c_str()); }

TEST(DetectEncoding, FollowsTheFixedOrderOfTests) {
  EXPECT_EQ(Detect(""), DetectionCode::Ascii);
  EXPECT_EQ(Detect("if (a)\r\n\tb = 1;\x7F"), DetectionCode::Ascii);
  // A control byte is not ASCII, and the EUC test takes every byte below 80.
  EXPECT_EQ(Detect("page\x0C" "break"), DetectionCode::EucJp);
  // An escape wins over everything after it, 8-bit bytes included.
  EXPECT_EQ(Detect("\x82\xA0\x1B$B$\"\x1B(B"), DetectionCode::Jis);
  EXPECT_EQ(Detect("\x1B)B"), DetectionCode::EucJp);  // ESC ) is no JIS escape
  // Shift-JIS half-width katakana in pairs reads as EUC-JP; an odd run does not.
  EXPECT_EQ(Detect("ｽｸﾘﾌﾟﾄ ok"), DetectionCode::EucJp);
  EXPECT_EQ(Detect("ﾃｽﾄ ok"), DetectionCode::ShiftJis);
  EXPECT_EQ(Detect("\xE3\x81\x82"), DetectionCode::Utf8);
  EXPECT_EQ(Detect("\xEF\xBB\xBF\xE3\x81\x82"), DetectionCode::Utf8);
  EXPECT_FALSE(IsUtf8Text("\xF0\x9F\x98\x80"));  // four-byte UTF-8 ...
  EXPECT_EQ(Detect("\xF0\x9F\x98\x80"), DetectionCode::ShiftJis);  // ... F0, 9F 98, 80
  EXPECT_EQ(Detect("\xA0"), DetectionCode::Undetermined);
  EXPECT_EQ(Detect("\x82"), DetectionCode::Undetermined);   // truncated everywhere
  EXPECT_EQ(Detect("\x81\x7F"), DetectionCode::Undetermined);
  EXPECT_EQ(Detect("\xEB\xEC\xF9\x80"), DetectionCode::ShiftJis);  // single bytes
  // Nothing after the first zero byte is looked at.
  EXPECT_EQ(DetectEncoding("abc\0\x82\xA0"), DetectionCode::Ascii);
  EXPECT_EQ(EncodingFromDetection(DetectionCode::Undetermined), TextEncoding::ShiftJis);
  EXPECT_EQ(EncodingFromDetection(DetectionCode::Jis), TextEncoding::Jis);
}

TEST(ShiftJisToJis, SwitchesModesAndEndsInAscii) {
  EXPECT_EQ(SjisToJis("\x82\xA0"), "\x1B$B$\"\x1B(B");
  EXPECT_EQ(SjisToJis("a\xB1\xB2\x82\xA0\r\n"), "a\x1B(I12\x1B$B$\"\x1B(B\r\n");
  EXPECT_EQ(SjisToJis(""), "");
  // The worst case, substitutes between ASCII bytes, fills the documented
  // capacity exactly (less its zero).
  std::string alternating = "\x80";
  for (int i = 0; i < 100; ++i) alternating += "a\x80";
  EXPECT_EQ(SjisToJis(alternating).size(), ShiftJisToJisCapacity(alternating.size()) - 1);
}

TEST(JisToShiftJis, ReadsEveryEscapeAndShift) {
  EXPECT_EQ(JisToSjis("\x1B(I1\x1B(B"), "\xB1");
  EXPECT_EQ(JisToSjis("\x0E" "12\x0F" "A"), "\xB1\xB2" "A");
  EXPECT_EQ(JisToSjis("\x1B$@$\"\x1B(Jx"), "\x82\xA0x");
  // In two-byte mode CR LF is one more pair, and an unknown escape a byte.
  EXPECT_EQ(JisToSjis("\x1B$B\r\n"), "\x81\xAC");  // no Shift-JIS character: the geta mark
  EXPECT_EQ(JisToSjis("\x1B$A\x1B(Cz"), "\x1B$A\x1B(Cz");
  EXPECT_EQ(JisToSjis("\x1B$B$"), "$");        // truncated pair: its first byte
  EXPECT_EQ(JisToSjis("\x1B$"), "\x1B$");      // escapes cut short stay bytes
  EXPECT_EQ(JisToSjis("\x1B"), "\x1B");
}

TEST(EucConversion, PairsKatakanaAndTruncation) {
  EXPECT_EQ(SjisToEuc("\x82\xA0\xB1z"), "\xA4\xA2\x8E\xB1z");
  EXPECT_EQ(EucToSjis("\xA4\xA2\x8E\xB1\x8E\x31z"), "\x82\xA0\xB1\xB1z");
  EXPECT_EQ(EucToSjis("a\xA4"), "a\xA4");
  EXPECT_EQ(EucToSjis("\xA5\x41"), "\x83\xE1");  // a stray second byte takes the JIS arithmetic
  // 8F is a lead byte like any other: no three-byte form.
  EXPECT_EQ(EucToSjis("\x8F\xA1\xA1").size(), 3u);
}

const std::string kEucGeta = "\xA2\xAE";
const std::string kJisGeta = "\x1B$B\"." "\x1B(B";

TEST(SaveConverters, WriteTheGetaMarkForWhatEucAndJisCannotHoldAndCountIt) {
  std::size_t lost = 99;
  // IBM extension (FB FC), user-defined cell (F0 40), small Roman numeral one.
  EXPECT_EQ(Hex(SjisToEuc("a\xFB\xFC" "b\xF0\x40\xFA\x40", &lost)), Hex("a" + kEucGeta + "b" + kEucGeta + kEucGeta));
  EXPECT_EQ(lost, 3u);
  EXPECT_EQ(Hex(SjisToJis("a\xFB\xFC" "b", &lost)), Hex("a" + kJisGeta + "b"));
  EXPECT_EQ(lost, 1u);
  // A lead byte without its trail byte stands alone; the next byte is its own.
  // 80, A0 and FD-FF are no characters at all.
  EXPECT_EQ(Hex(SjisToEuc("\x82\r\n\x80\xA0\xFD" "a\x82", &lost)),
            Hex(kEucGeta + "\r\n" + kEucGeta + kEucGeta + kEucGeta + "a" + kEucGeta));
  EXPECT_EQ(lost, 5u);
  EXPECT_EQ(Hex(SjisToJis("\x82\r\n\xB1\x82", &lost)), Hex(kJisGeta + "\r\n\x1B(I1\x1B$B\"." "\x1B(B"));
  EXPECT_EQ(lost, 2u);
  EXPECT_EQ(Hex(SjisToEuc("\xE6\xFE", &lost)), Hex(kEucGeta + kEucGeta));  // once wrote EC 00
  EXPECT_EQ(lost, 2u);
  EXPECT_EQ(Hex(SjisToJis("\xE9\x1F", &lost)), Hex("\x1B$B\".\x1B(B\x1F"));  // once wrote 71 00
  EXPECT_EQ(lost, 1u);
  // NEC row 13 and the NEC-selected IBM rows keep their arithmetic and read back.
  EXPECT_EQ(Hex(SjisToEuc("\x87\x40\xED\x40", &lost)), "ADA1F9A1");
  EXPECT_EQ(lost, 0u);
  EXPECT_EQ(SjisToJis("\x87\x40", &lost), "\x1B$B-!\x1B(B");
  EXPECT_EQ(lost, 0u);
  // The count is optional and changes no byte.
  EXPECT_EQ(SjisToEuc("\xFB\xFC"), kEucGeta);
  EXPECT_EQ(SjisToJis("\xFB\xFC"), kJisGeta);
}

TEST(SaveConverters, EveryDoubleByteCellReadsBackOrBecomesTheGetaMark) {
  std::size_t eucLost = 0, jisLost = 0;
  for (const std::string& cell : DoubleByteCells()) {
    const std::string euc = SjisToEuc(cell, &eucLost);
    const std::string jis = SjisToJis(cell, &jisLost);
    if (static_cast<unsigned char>(cell[0]) <= 0xEF) {  // the 94 rows of JIS X 0208's layout
      ASSERT_EQ(euc.size(), 2u) << Hex(cell);
      ASSERT_TRUE(static_cast<unsigned char>(euc[0]) >= 0xA1 && static_cast<unsigned char>(euc[1]) >= 0xA1 &&
                  euc[0] != '\xFF' && euc[1] != '\xFF') << Hex(cell);
      ASSERT_EQ(jis.size(), 8u) << Hex(cell);
      ASSERT_TRUE(jis[3] >= 0x21 && jis[3] <= 0x7E && jis[4] >= 0x21 && jis[4] <= 0x7E) << Hex(cell);
      ASSERT_EQ(Hex(EucToSjis(euc)), Hex(cell));
      ASSERT_EQ(Hex(JisToSjis(jis)), Hex(cell));
      ASSERT_EQ(eucLost + jisLost, 0u) << Hex(cell);
    } else {
      ASSERT_EQ(euc, kEucGeta) << Hex(cell);
      ASSERT_EQ(jis, kJisGeta) << Hex(cell);
      ASSERT_EQ(eucLost + jisLost, 2u) << Hex(cell);
    }
  }
}

// Calls `check` with `prefix` followed by every pair of non-zero bytes.
template <class Check>
void ForEveryPair(const std::string& prefix, Check check) {
  for (int a = 1; a < 256; ++a) {
    for (int b = 1; b < 256; ++b) check(prefix + static_cast<char>(a) + static_cast<char>(b));
  }
}

TEST(Converters, NeverWriteAZeroForTextWithoutOne) {
  EXPECT_EQ(Hex(EucToSjis("\xEC\x02")), "81AC");           // once E6 00
  EXPECT_EQ(Hex(JisToSjis("\x0E\x80")), "80");              // once 00: 8-bit bytes are copied
  EXPECT_EQ(Hex(JisToSjis("\x1B$B\x9F\x7B")), "81AC");     // once 00 9B
  // UTF-8 with a stray ESC ( I reads as JIS; its bytes stay what they were.
  const std::string stray = "\x1B(I\xE3\x80\x80\xE3\x81\x82";
  ASSERT_EQ(DetectEncoding(stray.c_str()), DetectionCode::Jis);
  EXPECT_EQ(Hex(JisToSjis(stray)), "E38080E38182");

  std::size_t bad = 0;
  std::string example;
  auto check = [&](const std::string& result, const std::string& input) {
    if (HoldsNoZero(result.data(), result.size())) return;
    if (bad++ == 0) example = Hex(input) + " -> " + Hex(result);
  };
  for (const char* prefix : {"", "\x1B$B", "\x1B(I", "\x0E", "\x8E"}) {
    ForEveryPair(prefix, [&](const std::string& in) {
      check(JisToSjis(in), in);
      check(EucToSjis(in), in);
      check(SjisToEuc(in), in);
      check(SjisToJis(in), in);
    });
  }
  EXPECT_EQ(bad, 0u) << "e.g. " << example;
}

TEST(InPlaceConverters, LoseBytesAfterTheFirstZero) {
  char jis[] = "\x1B$B$\"\0\x1B$B";
  EXPECT_EQ(JisToShiftJis(jis), 2u);
  EXPECT_EQ(std::string(jis), "\x82\xA0");
  char euc[] = "\xA4\xA2\0\xA4\xA2";
  EXPECT_EQ(EucToShiftJis(euc), 2u);
  EXPECT_EQ(std::string(euc), "\x82\xA0");
}

TEST(Prose, EachEncodingIsDetectedAndConvertsToTheIconvBytes) {
  for (const char* stem : {"prose", "kana"}) {
    const std::string sjis = ReadDataFile(stem + std::string(".sjis.txt"));
    const std::string euc = ReadDataFile(stem + std::string(".euc.txt"));
    const std::string jis = ReadDataFile(stem + std::string(".jis.txt"));
    SCOPED_TRACE(stem);
    EXPECT_EQ(Detect(sjis), DetectionCode::ShiftJis);
    EXPECT_EQ(Detect(euc), DetectionCode::EucJp);
    EXPECT_EQ(Detect(jis), DetectionCode::Jis);
    EXPECT_EQ(EucToSjis(euc), sjis);
    EXPECT_EQ(JisToSjis(jis), sjis);
    EXPECT_EQ(SjisToEuc(sjis), euc);
    EXPECT_EQ(SjisToJis(sjis), jis);
  }
}

TEST(Utf8, ProseConvertsBothWaysAndDropsTheByteOrderMark) {
  const std::string sjis = ReadDataFile("prose.sjis.txt");
  const std::string utf8 = ReadDataFile("prose.utf8.txt");
  for (const char* file : {"prose.utf8.txt", "prose.utf8bom.txt"}) {
    std::string buffer = ReadDataFile(file);
    EXPECT_EQ(Detect(buffer), DetectionCode::Utf8) << file;
    const std::size_t n = buffer.size();
    std::size_t lost = 99;
    buffer.resize(Utf8ToShiftJis(&buffer[0], n, &lost));
    EXPECT_EQ(buffer, sjis) << file;
    EXPECT_EQ(lost, 0u);
  }
  std::size_t lost = 99;
  EXPECT_EQ(ShiftJisToUtf8(sjis, &lost), utf8);
  EXPECT_EQ(lost, 0u);
}

TEST(Utf8, CountsCharactersCodePage932CannotHold) {
  // 丂 U+4E02 (no code), YEN SIGN (best fit to 5C), an emoji, an invalid byte;
  // CIRCLED DIGIT ONE and a zero byte survive.
  const char bytes[] = "a\xE4\xB8\x82\xC2\xA5\xF0\x9F\x98\x80\xFF\xE2\x91\xA0\0z";
  const std::string input(bytes, sizeof bytes - 1);
  std::string buffer = input;
  std::size_t lost = 0;
  const std::size_t length = Utf8ToShiftJis(&buffer[0], input.size(), &lost);
  EXPECT_EQ(lost, 4u);
  EXPECT_LE(length, input.size());
  EXPECT_EQ(buffer.substr(length - 4, 4), std::string("\x87\x40\0z", 4));
  // Without the out-parameter the bytes are the same.
  std::string plain = input;
  EXPECT_EQ(Utf8ToShiftJis(&plain[0], input.size()), length);
  EXPECT_EQ(plain.substr(0, length), buffer.substr(0, length));

  EXPECT_EQ(ShiftJisToUtf8("\x85\x40x\x82\xA0\x82", &lost), ShiftJisToUtf8("\x85\x40x\x82\xA0\x82"));
  EXPECT_EQ(lost, 2u);  // undefined cell 85 40 and the lone lead byte at the end
  // A lead byte without a trail byte stands alone: the line break after it stays.
  EXPECT_EQ(Hex(ShiftJisToUtf8("\x82\r\n", &lost)), "E383BB0D0A");
  EXPECT_EQ(lost, 1u);
  EXPECT_EQ(ShiftJisToUtf8("", &lost), "");
  EXPECT_EQ(lost, 0u);
  char empty[1] = {'\0'};
  EXPECT_EQ(Utf8ToShiftJis(empty, 0, &lost), 0u);
}

}  // namespace
