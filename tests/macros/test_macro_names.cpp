// The macro code's pure pieces: the list sort against a reference sort with the
// same comparison, names cut from files and titles, refused names, the
// report's layout.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <random>
#include "macros/macro_names.h"

namespace {
// Case-insensitive, then by bytes: a comparison with ties that are not equal strings.
int FoldedCompare(const char* a, const char* b) {
  for (;; ++a, ++b) {
    int x = (*a >= 'A' && *a <= 'Z') ? *a + 32 : *a, y = (*b >= 'A' && *b <= 'Z') ? *b + 32 : *b;
    if (x != y || !x) return x - y;
  }
}
}  // namespace

TEST(MacroList, SortMatchesAReferenceSortWithTheSameComparison) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const int n = static_cast<int>(random() % 40);
    CSortedStringList list;
    std::vector<std::string> reference;
    for (int k = 0; k < n; ++k) {
      std::string s;
      for (int c = static_cast<int>(random() % 3); c >= 0; --c) s += "abAB"[random() % 4];
      list.AddTail(s);
      reference.push_back(s);
    }
    list.Sort(&FoldedCompare);
    std::stable_sort(reference.begin(), reference.end(),
                     [](const std::string& a, const std::string& b) { return FoldedCompare(a.c_str(), b.c_str()) < 0; });
    ASSERT_EQ(list.GetCount(), n);
    for (int k = 0; k < n; ++k) {
      SCOPED_TRACE(k);
      // Equal under the comparison at every place; the multiset is kept.
      ASSERT_EQ(FoldedCompare(list.GetAt(k).c_str(), reference[static_cast<size_t>(k)].c_str()), 0);
    }
    std::vector<std::string> sorted = list.Items(), kept = reference;
    std::sort(sorted.begin(), sorted.end());
    std::sort(kept.begin(), kept.end());
    ASSERT_EQ(sorted, kept);
  }
}

TEST(MacroNames, FileNamesAreCutAtTheLastDotAndTitlesAtTheFirst) {
  EXPECT_EQ(MacroNameOfFile("a.b.c.js"), "a.b.c");
  EXPECT_EQ(MacroNameOfFile("noext"), "noext");
  EXPECT_EQ(ProposedMacroName("a.b.c.js"), "a");
  EXPECT_EQ(ProposedMacroName("無題"), "無題");
  // 0x2E is never a trail byte, but the walk must not split a character either.
  EXPECT_EQ(ProposedMacroName("表示.js"), "表示");
  EXPECT_EQ(MacroRelativePath("整形", 0), "macro\\整形.js");
  EXPECT_EQ(MacroRelativePath("x", 1), "macro\\x.vbs");
}

TEST(MacroNames, OnlyTheExactExtensionOfTheLanguageIsAMacro) {
  EXPECT_TRUE(HasMacroExtension("f.vbs", 1));
  EXPECT_TRUE(HasMacroExtension("F.VBS", 1));
  EXPECT_FALSE(HasMacroExtension("f.vbsx", 1));
  EXPECT_FALSE(HasMacroExtension("f.jsx", 0));
  EXPECT_FALSE(HasMacroExtension("f.js", 1));
  EXPECT_TRUE(HasMacroExtension("a.b.js", 0));
  EXPECT_FALSE(HasMacroExtension("js", 0));
}

TEST(MacroNames, EmptyNamesAndPathCharactersAreRefused) {
  EXPECT_EQ(CheckMacroName(""), MacroNameProblem::Empty);
  for (const char* bad : {"..\\x", "a/b", "c:", "a*", "?", "\"q\"", "<", ">", "a|b"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(CheckMacroName(bad), MacroNameProblem::ForbiddenCharacter);
  }
  // "表" ends with the byte 5C, which here is no backslash.
  EXPECT_EQ(CheckMacroName("表示"), MacroNameProblem::Ok);
  EXPECT_EQ(CheckMacroName("a.b"), MacroNameProblem::Ok);
  EXPECT_FALSE(MacroNameMessage(MacroNameProblem::ForbiddenCharacter).empty());
}

TEST(MacroReport, LayoutKeepsLongTextsAndPercentSigns) {
  MacroErrorReport r;
  r.status = 0x800A03EA;
  r.description = "100% %s %n";
  EXPECT_EQ(FormatMacroErrorReport(r, "Ruvelto"), "エラー:   1002\nソース:   Ruvelto\n説明:     100% %s %n");
  r.source = "Microsoft VBScript";
  r.hasPosition = true;
  r.line = 3;
  r.column = 4;
  r.code = std::string(5000, 'x');
  EXPECT_EQ(FormatMacroErrorReport(r, "Ruvelto"), "エラー:   1002\nソース:   Microsoft VBScript\n説明:     100% %s %n"
                                                  "\n行番号:   3\n文字位置: 4\nコード:   " + std::string(5000, 'x'));
  r.code.clear();
  EXPECT_EQ(FormatMacroErrorReport(r, "R").find("コード"), std::string::npos);
}
