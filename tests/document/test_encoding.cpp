// Encoding detection and conversion: the cases where a slip in the order of
// tests, an escape, a mode change or the end of the text shows, and realistic
// prose in each encoding (data files made by iconv, see data/make_data.py).
#include <gtest/gtest.h>

#include <string>

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
  EXPECT_EQ(SjisToJis("\x82"), "\x1B$B\x82\x1B(B");  // lone lead byte kept as is
  EXPECT_EQ(SjisToJis(""), "");
  // The worst case fills the documented capacity exactly (less its zero).
  std::string alternating = "\xB1";
  for (int i = 0; i < 100; ++i) alternating += "a\xB1";
  EXPECT_EQ(SjisToJis(alternating).size(), ShiftJisToJisCapacity(alternating.size()) - 1);
}

TEST(JisToShiftJis, ReadsEveryEscapeAndShift) {
  EXPECT_EQ(JisToSjis("\x1B(I1\x1B(B"), "\xB1");
  EXPECT_EQ(JisToSjis("\x0E" "12\x0F" "A"), "\xB1\xB2" "A");
  EXPECT_EQ(JisToSjis("\x1B$@$\"\x1B(Jx"), "\x82\xA0x");
  // In two-byte mode CR LF is one more pair, and an unknown escape a byte.
  EXPECT_EQ(JisToSjis("\x1B$B\r\n"), "\x77\x29");
  EXPECT_EQ(JisToSjis("\x1B$A\x1B(Cz"), "\x1B$A\x1B(Cz");
  EXPECT_EQ(JisToSjis("\x1B$B$"), "$");        // truncated pair: its first byte
  EXPECT_EQ(JisToSjis("\x1B$"), "\x1B$");      // escapes cut short stay bytes
  EXPECT_EQ(JisToSjis("\x1B"), "\x1B");
}

TEST(EucConversion, PairsKatakanaAndTruncation) {
  EXPECT_EQ(SjisToEuc("\x82\xA0\xB1z"), "\xA4\xA2\x8E\xB1z");
  EXPECT_EQ(EucToSjis("\xA4\xA2\x8E\xB1\x8E\x31z"), "\x82\xA0\xB1\xB1z");
  EXPECT_EQ(EucToSjis("a\xA4"), "a\xA4");
  EXPECT_EQ(EucToSjis("\xA5\x41"), "\x83\xE0");  // a stray second byte takes the same arithmetic
  EXPECT_EQ(SjisToEuc("a\x82"), "a\x82");
  // 8F is a lead byte like any other: no three-byte form.
  EXPECT_EQ(EucToSjis("\x8F\xA1\xA1").size(), 3u);
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
  // WAVE DASH (no code), YEN SIGN (best fit to 5C), an emoji, an invalid byte;
  // CIRCLED DIGIT ONE and a zero byte survive.
  const char bytes[] = "a\xE3\x80\x9C\xC2\xA5\xF0\x9F\x98\x80\xFF\xE2\x91\xA0\0z";
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
  EXPECT_EQ(ShiftJisToUtf8("", &lost), "");
  EXPECT_EQ(lost, 0u);
  char empty[1] = {'\0'};
  EXPECT_EQ(Utf8ToShiftJis(empty, 0, &lost), 0u);
}

}  // namespace
