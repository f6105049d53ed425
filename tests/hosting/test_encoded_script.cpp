// The encoded-script form: hand-computed blocks, the reader of
// encoded_script_reader.h giving back the text and its checksum, and the
// element scanner of the page kinds.
#include <gtest/gtest.h>
#include "platform/encoder/encoded_script.h"
#include "tests/hosting/encoded_script_reader.h"

using encoded_script_reader::Decode;

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

TEST(EncodedScript, ElementScannerReadsWholeTagsAndKeepsEverythingElse) {
  const auto E = [](const std::u16string& code) { return EncodeScriptBlock(code); };
  struct Case {
    const char* what;
    std::u16string in, out;
  } cases[] = {
      {"an empty element, then an inline one",
       u"<job><script language=\"JScript\" src=\"lib.js\"/>\r\n<script language=\"JScript\">Echo(1);</script></job>",
       u"<job><script language=\"JScript\" src=\"lib.js\"/>\r\n<script language=\"JScript.Encode\">" + E(u"Echo(1);") +
           u"</script></job>"},
      {"an empty element, then a CDATA body",
       u"<script language=JScript src=lib.js/><script language=\"JScript\">\r\n<![CDATA[a(1 < 2);]]>\r\n</script>",
       u"<script language=JScript src=lib.js/><script language=\"JScript.Encode\">\r\n<![CDATA[" + E(u"a(1 < 2);") +
           u"]]>\r\n</script>"},
      {"a component",
       u"<scriptlet><registration progid=\"A.B\"/><script language=\"VBScript\">x</script></scriptlet>",
       u"<scriptlet><registration progid=\"A.B\"/><script language=\"VBScript.Encode\">" + E(u"x") +
           u"</script></scriptlet>"},
      {"the language attribute by name",
       u"<SCRIPT id=\"languageBox\" LANGUAGE = 'VBScript'>x</SCRIPT>",
       u"<SCRIPT id=\"languageBox\" LANGUAGE = 'VBScript.Encode'>" + E(u"x") + u"</SCRIPT>"},
      {"no language attribute", u"<script type=\"text/vbscript\">MsgBox 1</script>",
       u"<script type=\"text/vbscript\">MsgBox 1</script>"},
      {"another language", u"<script language=\"PerlScript\">1;</script>", u"<script language=\"PerlScript\">1;</script>"},
      {"already encoded", u"<script language=\"JScript.Encode\">#@~^x</script>",
       u"<script language=\"JScript.Encode\">#@~^x</script>"},
      {"a CDATA section ends only at ]]>",
       u"<script language=\"JScript\"><![CDATA[w(\"</script>\");]]></script><p>",
       u"<script language=\"JScript.Encode\"><![CDATA[" + E(u"w(\"</script>\");") + u"]]></script><p>"},
      {"a name that only begins with script", u"<scripts language=\"JScript\">x</scripts>",
       u"<scripts language=\"JScript\">x</scripts>"},
      {"a script inside a comment or an attribute",
       u"<!-- <script language=\"JScript\">x</script> --><a title=\"<script language=JScript>\">y</a>",
       u"<!-- <script language=\"JScript\">x</script> --><a title=\"<script language=JScript>\">y</a>"},
      {"code beside a CDATA section", u"<script language=\"JScript\">a();<![CDATA[b();]]></script>",
       u"<script language=\"JScript\">a();<![CDATA[b();]]></script>"},
      {"code in another file", u"<script language=\"JScript\" src=\"lib.js\">\r\n</script>",
       u"<script language=\"JScript\" src=\"lib.js\">\r\n</script>"},
      {"no code", u"<script language=\"VBScript\"> \r\n</script><script language=JScript><![CDATA[]]></script>",
       u"<script language=\"VBScript\"> \r\n</script><script language=JScript><![CDATA[]]></script>"},
      {"a plain body of an XML document",
       u" <?XML version=\"1.0\"?><job><script language=\"JScript\">a();</script>"
       u"<script language=\"JScript\">if (a &amp;&amp; b) c();</script></job>",
       u" <?XML version=\"1.0\"?><job><script language=\"JScript.Encode\"><![CDATA[" + E(u"a();") +
           u"]]></script><script language=\"JScript\">if (a &amp;&amp; b) c();</script></job>"},
      {"an element that never ends", u"<script language=\"JScript\">a();", u"<script language=\"JScript\">a();"},
      {"a less-than sign in text", u"1 < 2 <script language=vbscript>x</script>",
       u"1 < 2 <script language=VBScript.Encode>" + E(u"x") + u"</script>"},
  };
  for (const Case& c : cases) {
    std::u16string out;
    ASSERT_TRUE(EncodeScriptText(u".sct", c.in, out)) << c.what;
    EXPECT_EQ(out, c.out) << c.what;
  }
}
