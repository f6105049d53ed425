// The encoded-script form: hand-computed blocks, and a reader written here
// from the form's description that must give back the text and its checksum.
#include <gtest/gtest.h>
#include <cstdint>
#include "platform/encoder/encoded_script.h"

namespace {
// Six base64 digits and "==" as a 32-bit little-endian number; false when malformed.
bool ReadNumber(const std::u16string& s, size_t at, uint32_t& value) {
  static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (at + 8 > s.size() || s[at + 6] != u'=' || s[at + 7] != u'=') return false;
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) {
    size_t d = s[at + i] < 128 ? digits.find(static_cast<char>(s[at + i])) : std::string::npos;
    if (d == std::string::npos) return false;
    bits = bits << 6 | d;
  }
  bits >>= 4;  // 36 bits hold the 32 of the four bytes
  value = 0;
  for (int i = 3; i >= 0; --i, bits >>= 8) value |= static_cast<uint32_t>(bits & 0xff) << (8 * i);
  return true;
}

// Decodes every block of `s`; false on a malformed block or a wrong checksum.
bool Decode(const std::u16string& s, std::u16string& out) {
  out.clear();
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, 4, u"#@~^") != 0) {
      out += s[i++];
      continue;
    }
    uint32_t length, checksum, sum = 0;
    if (!ReadNumber(s, i + 4, length) || i + 12 + length > s.size()) return false;
    size_t p = i + 12, end = p + length, position = 0;
    for (; p < end; ++p, ++position) {
      char16_t c = s[p];
      if (c == u'@') {
        const std::u16string from = u"#&!*$", to = u"\r\n<>@";
        size_t k = p + 1 < end ? from.find(s[++p]) : std::u16string::npos;
        if (k == std::u16string::npos) return false;
        c = to[k];
      } else if (c < 128) {
        c = kEncodedScriptTable[c][kEncodedScriptPick[position % 64]];
      }
      sum += c;
      out += c;
    }
    if (!ReadNumber(s, end, checksum) || checksum != sum || s.compare(end + 8, 4, u"^#~@") != 0) return false;
    i = end + 12;
  }
  return true;
}
}  // namespace

TEST(EncodedScript, KnownBlocksComputedByHand) {
  // 'a' at position 0 takes column 1: row 0x43 'C' holds 0x61 there. Length 1, checksum 0x61.
  EXPECT_EQ(EncodeScriptBlock(u"a"), u"#@~^AQAAAA==CYQAAAA==^#~@");
  // Escapes count two in the length: 6 bytes "@#@&@!"; checksum 13 + 10 + 60 = 83 (0x53).
  EXPECT_EQ(EncodeScriptBlock(u"\r\n<"), u"#@~^BgAAAA==@#@&@!UwAAAA==^#~@");
  EXPECT_EQ(EncodeScriptBlock(u""), u"#@~^AAAAAA==AAAAAA==^#~@");
}

TEST(EncodedScript, EveryCharacterReadsBackWithItsChecksumAtEveryPosition) {
  std::u16string text;
  for (int round = 0; round < 3; ++round)
    for (char16_t c = 0; c < 128; ++c) text += c;
  text += u"日本語 WScript.Echo(\"x\");\r\n";
  std::u16string encoded = EncodeScriptBlock(text), decoded;
  ASSERT_TRUE(Decode(encoded, decoded));
  EXPECT_EQ(decoded, text);
  // No raw line break, '<' or '>' in the block, and '@' only as an escape.
  for (char16_t c : encoded.substr(12, encoded.size() - 24)) EXPECT_TRUE(c != u'\r' && c != u'\n' && c != u'<' && c != u'>');
  // A changed character is caught by the checksum.
  encoded[12] = encoded[12] == u'A' ? u'B' : u'A';
  EXPECT_FALSE(Decode(encoded, decoded));
}

TEST(EncodedScript, KindsChooseWholeTextOrScriptBodies) {
  std::u16string out = u"untouched";
  EXPECT_FALSE(EncodeScriptText(u".txt", u"x", out));
  EXPECT_EQ(out, u"untouched");
  ASSERT_TRUE(EncodeScriptText(u".JS", u"var a;", out));
  EXPECT_EQ(out, EncodeScriptBlock(u"var a;"));
  const std::u16string page =
      u"<html><SCRIPT language=\"VBScript\">\r\nMsgBox 1\r\n</SCRIPT><p>x</p>"
      u"<script language=javascript>alert(2)</script></html>";
  ASSERT_TRUE(EncodeScriptText(u".htm", page, out));
  EXPECT_EQ(out, u"<html><SCRIPT language=\"VBScript.Encode\">" + EncodeScriptBlock(u"\r\nMsgBox 1\r\n") +
                     u"</SCRIPT><p>x</p><script language=JScript.Encode>" + EncodeScriptBlock(u"alert(2)") +
                     u"</script></html>");
  const std::u16string wsf =
      u"<job><script language=\"JScript\"><![CDATA[\r\nWScript.Echo(1 < 2);\r\n]]></script></job>";
  ASSERT_TRUE(EncodeScriptText(u".sct", wsf, out));
  EXPECT_EQ(out, u"<job><script language=\"JScript.Encode\"><![CDATA[" +
                     EncodeScriptBlock(u"\r\nWScript.Echo(1 < 2);\r\n") + u"]]></script></job>");
  std::u16string back;
  ASSERT_TRUE(Decode(out, back));
}
