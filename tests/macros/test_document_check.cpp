// A document's check with the real engines in the real checker helper: the
// script elements of markup, each with its own engine, positions counted in
// the whole file; elements no engine here reads are passed by; nothing runs.
#include <windows.h>
#include <gtest/gtest.h>
#include "macros/script_check.h"
#include "tests/macros/helper_path.h"
#include "tests/support/harness.h"
#include "views/syntax_lexer.h"

namespace {
class DocumentCheckTest : public ::testing::Test {
 protected:
  void SetUp() override { checker.m_helper = HelperPath(); }
  ScriptChecker checker;
  TempDir dir;
};

TEST_F(DocumentCheckTest, MarkupElementsAreCheckedEachWithItsEngineAtTheirPlaceInTheFile) {
  struct Case {
    const char* path;
    const char* text;
    int errors;  // how many; the first one's place follows (from 0)
    int line, column, byteColumn;
  } cases[] = {
      // Two elements in two languages, the error in the second: VBScript's
      // missing End If is reported on the line after the code's last.
      {"two.wsf",
       "<job>\r\n<script language=\"JScript\">\r\nvar a = 1;\r\n</script>\r\n"
       "<script language=\"VBScript\">\r\nDim b\r\nIf b Then\r\n</script>\r\n</job>\r\n",
       1, 7, 0, 0},
      // Code on the tag's own line, after Japanese: columns in characters and bytes.
      {"one.WSF", "<job><script language=\"JScript\">var s = \"日本\"; var = 1;</script></job>", 1, 0, 50, 52},
      // An error in each of two elements; a CDATA body; lone LF line ends.
      {"page.hta",
       "<html>\n<!-- <script language=\"JScript\">var = </script> -->\n<script language=\"javascript\"><![CDATA[\nvar = 1;\n]]></script>\n"
       "<script language=\"VBScript\">\nIf Then\n</script>\n</html>\n",
       2, 3, 4, 4},
      // A page's elements named by type, or by nothing (JScript).
      {"types.hta",
       "<script type=\"text/vbscript\">Dim a</script>\r\n<script type=\"text/javascript\">var b = 1;</script>\r\n"
       "<script>var = 2;</script>\r\n",
       1, 2, 12, 12},
      // Encoded bodies, src= elements and other languages are passed by.
      {"skip.wsc",
       "<component><script language=\"JScript.Encode\">#@~^AAAAAA==x^#~@</script>\r\n"
       "<script language=\"JScript\" src=\"lib.js\">var = </script>\r\n"
       "<script language=\"PerlScript\">my $x = (;</script>\r\n<script>var = </script>\r\n"
       "<script language=\"VBScript\">Dim x</script></component>\r\n",
       0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const DocumentCheck check = CheckDocument(checker, c.text, c.path, syntax::kNone);
    ASSERT_EQ(static_cast<int>(check.errors.size()), c.errors) << ScriptCheckStatusText(check.verdict);
    if (!c.errors) {
      EXPECT_EQ(check.verdict.state, ScriptCheckResult::Clean);
      continue;
    }
    EXPECT_EQ(check.verdict.state, ScriptCheckResult::Error);
    EXPECT_EQ(check.verdict.line, c.line);
    EXPECT_EQ(check.verdict.column, c.column);
    EXPECT_EQ(check.verdict.byteColumn, c.byteColumn);
  }
}

TEST_F(DocumentCheckTest, ACorrectMarkupScriptThatCreatesFilesCreatesNothing) {
  const std::string js = dir / "from-js.txt", vbs = dir / "from-vbs.txt";
  std::string jsLiteral;  // the path in a JScript string
  for (char ch : js) jsLiteral += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
  const std::string text =
      "<job><script language=\"JScript\">\r\nnew ActiveXObject('Scripting.FileSystemObject').CreateTextFile('" +
      jsLiteral + "').Close();\r\n</script>\r\n<script language=\"VBScript\">\r\n" +
      "CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"" + vbs + "\").Close\r\n</script></job>\r\n";
  const DocumentCheck check = CheckDocument(checker, text, dir / "make.wsf", syntax::kNone);
  EXPECT_EQ(check.verdict.state, ScriptCheckResult::Clean) << ScriptCheckStatusText(check.verdict);
  EXPECT_EQ(GetFileAttributesA(js.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA(vbs.c_str()), INVALID_FILE_ATTRIBUTES);
}
}  // namespace
