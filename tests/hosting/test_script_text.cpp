// The host command texts and the script commands' rules.
#include <gtest/gtest.h>
#include "hosting/script_text.h"

TEST(ScriptText, ParameterStringKeepsBothBlanksAndQuotesOnlyNamesThatNeedIt) {
  EXPECT_EQ(WScriptParameterString("a.vbs", "", ""), "a.vbs  ");
  EXPECT_EQ(WScriptParameterString("a.vbs", "//B", "x \"y z\""), "a.vbs //B x \"y z\"");
  EXPECT_EQ(WScriptParameterString("my script.js", "", "1"), "\"my script.js\"  1");
  for (const char* name : {"a\tb.js", "a&b.js", "a|b.js", "a<b.js", "a>b.js", "a^b.js", "a(1).js", "a,b.js",
                           "a;b.js", "a=b.js", "100%.js"})
    EXPECT_EQ(QuoteHostFileName(name), std::string("\"") + name + "\"") << name;
  // Plain names, Japanese ones and those whose trail bytes look like '|' or '^' stay as they are.
  for (const char* name : {"a.js", "スクリプト.vbs", "\x83\x7c.js", "\x83\x5e.js", "a-b_c.[1].wsf"})
    EXPECT_EQ(QuoteHostFileName(name), name) << name;
}

TEST(ScriptText, WrapperHasTwoCrLfLinesNamingTheHostByItsPath) {
  const std::string host = "C:\\windows\\system32\\CScript.exe";
  EXPECT_EQ(ScriptWrapperText(host, "a.vbs", "", ""), host + " a.vbs\r\nPAUSE\r\n");
  EXPECT_EQ(ScriptWrapperText(host, "a.vbs", "//nologo", ""), host + " a.vbs //nologo\r\nPAUSE\r\n");
  EXPECT_EQ(ScriptWrapperText(host, "a.vbs", "", "x y"), host + " a.vbs x y\r\nPAUSE\r\n");
  EXPECT_EQ(ScriptWrapperText("C:\\My Windows\\CScript.exe", "50%&.js", "", ""),
            "\"C:\\My Windows\\CScript.exe\" \"50%%&.js\"\r\nPAUSE\r\n");
  // Trail bytes that look like '|' or '^' (ポ, タ) stay; a lead byte takes the next byte, as cmd reads it.
  EXPECT_EQ(ScriptWrapperText(host, "a.js", "", "ポ|タ^ \x83&"), host + " a.js ポ^|タ^^ \x83&\r\nPAUSE\r\n");
}

TEST(ScriptText, EnableRulesFollowThePathAndItsExtension) {
  EXPECT_FALSE(CanRunScript(""));
  EXPECT_TRUE(CanRunScript("C:\\a\\page.hta"));
  for (const char* p : {"C:\\a\\b.wsf", "C:\\a\\b.JS", "C:\\a\\b.Vbs", "b.vbs"}) EXPECT_TRUE(CanRunUnderHosts(p)) << p;
  for (const char* p : {"", "C:\\a\\b.hta", "C:\\a\\b.HTA", "C:\\a.js\\b", "C:\\a\\b.jse", "C:\\a\\js"})
    EXPECT_FALSE(CanRunUnderHosts(p)) << p;
}

TEST(ScriptText, EncodeKindAndProposedNameByExtension) {
  struct Case { const char* path; const char* kind; const char* proposed; };
  const Case cases[] = {{"C:\\d\\a.js", ".js", "C:\\d\\a.jse"},     {"C:\\d\\a.JS", ".js", "C:\\d\\a.jse"},
                        {"C:\\d\\a.vbs", ".vbs", "C:\\d\\a.vbe"},
                        {"C:\\d\\a.wsf", ".sct", "C:\\d\\a.encoded.wsf"}, {"C:\\d\\a.HTA", ".htm", "C:\\d\\a.encoded.HTA"},
                        {"C:\\d.js\\a", ".htm", "C:\\d.js\\a.encoded"},
                        {"C:\\日本\\表.Js", ".js", "C:\\日本\\表.jse"}};
  for (const Case& c : cases) {
    EncodeTarget t = EncodeTargetFor(c.path);
    EXPECT_EQ(t.kind, c.kind) << c.path;
    EXPECT_EQ(t.proposedPath, c.proposed) << c.path;
  }
}
