// Settings value formats and menu path shortening, without windows.
#include <gtest/gtest.h>
#include <climits>
#include "app/settings_format.h"
#include "platform/framework/pathutil.h"
#include "platform/framework/profile_codec.h"

TEST(SettingsPath, ReplacesTheExtensionAndLowersOnlySingleByteCapitals) {
  EXPECT_EQ(MakeSettingsPath("C:\\Tools\\EDITOR.EXE"), "c:\\tools\\editor.ini");
  EXPECT_EQ(MakeSettingsPath("C:\\Tools\\EDITOR"), "c:\\tools\\editor.ini");
  EXPECT_EQ(MakeSettingsPath("C:\\My.Dir\\Run"), "c:\\my.dir\\run.ini");
  // 0x83 0x41 is a double-byte character whose second byte is 'A': it stays.
  EXPECT_EQ(MakeSettingsPath("C:\\\x83\x41X\\E.EXE"), "c:\\\x83\x41x\\e.ini");
  // A trail byte 0x5C ('\') is not a separator: "表" is 95 5C.
  EXPECT_EQ(MakeSettingsPath("C:\\\x95\x5C.A\\B"), "c:\\\x95\x5C.a\\b.ini");
}

TEST(SettingsBytes, TwoLettersPerByteLowNibbleFirst) {
  const unsigned char bytes[] = {0x00, 0x2C, 0xFF, 0x10};
  EXPECT_EQ(EncodeProfileBytes(bytes, 4), "AAMCPPAB");
  auto back = DecodeProfileBytes("AAMCPPAB");
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, (std::vector<uint8_t>{0x00, 0x2C, 0xFF, 0x10}));
  EXPECT_FALSE(DecodeProfileBytes("AAZZ").has_value());
  EXPECT_EQ(DecodeProfileBytes("ABC")->size(), 1u);  // odd letter ignored
}

TEST(SettingsPlacement, RoundTripsAsEightyEightLetters) {
  PlacementRecord r;
  r.showCmd = 3;
  r.left = 10;
  r.top = 20;
  r.right = 810;
  r.bottom = 620;
  r.minX = r.minY = -1;
  std::vector<uint8_t> bytes = EncodePlacement(r);
  ASSERT_EQ(bytes.size(), 44u);
  EXPECT_EQ(EncodeProfileBytes(bytes.data(), bytes.size()).size(), 88u);
  EXPECT_EQ(bytes[0], 44);
  PlacementRecord back;
  ASSERT_TRUE(DecodePlacement(bytes, back));
  EXPECT_EQ(back.showCmd, 3);
  EXPECT_EQ(back.minX, -1);
  EXPECT_EQ(back.right, 810);
  // Short records and empty rectangles are ignored.
  bytes.resize(40);
  EXPECT_FALSE(DecodePlacement(bytes, back));
  r.right = r.left;
  EXPECT_FALSE(DecodePlacement(EncodePlacement(r), back));
}

TEST(SettingsPlacement, ARectangleWhoseSizeOverflowsIsRefused) {
  PlacementRecord r;
  r.left = INT32_MIN;
  r.right = 100;
  r.bottom = 600;
  PlacementRecord back;
  EXPECT_FALSE(DecodePlacement(EncodePlacement(r), back));
  r.left = 0;
  r.top = INT32_MIN + 5;
  r.bottom = INT32_MAX;
  EXPECT_FALSE(DecodePlacement(EncodePlacement(r), back));
  // The widest rectangle whose size still fits.
  r.left = -1;
  r.right = INT32_MAX - 1;
  r.top = 0;
  r.bottom = 10;
  ASSERT_TRUE(DecodePlacement(EncodePlacement(r), back));
  EXPECT_EQ(back.left, -1);
}

TEST(SettingsPlacement, FittingIntoAWorkAreaMovesThenCuts) {
  const WindowRect work{0, 0, 1280, 1000};
  WindowRect off = FitIntoArea(WindowRect{5000, 4000, 5800, 4600}, work);
  EXPECT_EQ(off.left, 480);
  EXPECT_EQ(off.top, 400);
  EXPECT_EQ(off.right, 1280);
  EXPECT_EQ(off.bottom, 1000);
  WindowRect big = FitIntoArea(WindowRect{-9000, 10, -5000, 3000}, work);
  EXPECT_EQ(big.left, 0);
  EXPECT_EQ(big.right, 1280);
  EXPECT_EQ(big.top, 0);
  EXPECT_EQ(big.bottom, 1000);
  WindowRect far = FitIntoArea(WindowRect{INT32_MAX - 100, INT32_MIN, INT32_MAX, INT32_MIN + 50}, work);
  EXPECT_EQ(far.left, 1180);
  EXPECT_EQ(far.bottom, 50);
}

TEST(SettingsFont, ThirteenNumbersOrNothing) {
  FontRecord f;
  f.height = -19;
  f.weight = 700;
  f.charSet = 128;
  f.pitchAndFamily = 49;
  f.quality = 255;
  std::string text = FormatFontNumbers(f);
  EXPECT_EQ(text, "-19,0,0,0,700,0,0,0,128,0,0,255,49");
  FontRecord back;
  ASSERT_TRUE(ParseFontNumbers(text, back));
  EXPECT_EQ(back.height, -19);
  EXPECT_EQ(back.charSet, 128);
  EXPECT_EQ(back.quality, 255);
  FontRecord untouched;
  EXPECT_FALSE(ParseFontNumbers("-19,0,0,0,700,0,0,0,128,0,0,255", untouched));  // 12 numbers
  EXPECT_FALSE(ParseFontNumbers("", untouched));
  EXPECT_FALSE(ParseFontNumbers("x,1", untouched));
  EXPECT_EQ(untouched.height, 0);
}

TEST(SettingsFont, FaceNamesAreCutWithoutSplittingACharacter) {
  EXPECT_EQ(LimitFaceName("Courier New"), "Courier New");
  std::string longName(40, 'a');
  EXPECT_EQ(LimitFaceName(longName).size(), 31u);
  std::string dbcs;
  for (int i = 0; i < 20; ++i) dbcs += "\x82\xa0";  // 40 bytes of double-byte characters
  EXPECT_EQ(LimitFaceName(dbcs).size(), 30u);
}

TEST(SettingsColors, AllOrNothingInTheStoredForm) {
  uint32_t c[3] = {1, 2, 3};
  ASSERT_TRUE(ParseColorList("FF0000,0000C0,808000", c, 3));
  EXPECT_EQ(c[0], 0xFF0000u);
  EXPECT_EQ(c[1], 0x0000C0u);
  EXPECT_EQ(c[2], 0x808000u);
  uint32_t d[3] = {1, 2, 3};
  EXPECT_FALSE(ParseColorList("FF0000,0000C0", d, 3));
  EXPECT_EQ(d[0], 1u);
  EXPECT_FALSE(ParseColorList("", d, 3));
  EXPECT_FALSE(ParseColorList("GG0000,0,0", d, 3));
  EXPECT_EQ(FormatColorList(c, 3), "FF0000,0000C0,808000");
}

TEST(SettingsColors, EightDigitValuesReadAsTheyAlwaysDid) {
  // As first or second number the whole key falls back; as the last it is cut to six digits.
  uint32_t c[2] = {7, 8};
  EXPECT_FALSE(ParseColorList("FF000000,FFFFFF", c, 2));
  ASSERT_TRUE(ParseColorList("000000,FF000000", c, 2));
  EXPECT_EQ(c[1], 0xFF0000u);
}

TEST(SettingsColors, TheAutomaticValueSurvivesARoundTrip) {
  uint32_t c[3] = {kAutomaticColor, 0x0000C0, kAutomaticColor};
  std::string text = FormatColorList(c, 3);
  EXPECT_EQ(text, "Auto,0000C0,Auto");
  uint32_t back[3] = {};
  ASSERT_TRUE(ParseColorList(text, back, 3));
  EXPECT_EQ(back[0], kAutomaticColor);
  EXPECT_EQ(back[1], 0x0000C0u);
  EXPECT_EQ(back[2], kAutomaticColor);
  EXPECT_FALSE(ParseColorList("Auto,Auto", back, 3));
}

// Whatever the reader takes, the writer puts back in a form the reader takes
// again, with the same values.
TEST(SettingsColors, EveryValueTakenIsWrittenBackReadably) {
  const char* inputs[] = {"-1,FFFFFF",   "+1,000000",  "FFFFFF,-FFFFF", "0x1F,0",     " 1,2",
                          "000000,FF000000", "Auto,-1",  "12,34",       "FFFFFFFF,0", "1,2,3"};
  for (const char* in : inputs) {
    SCOPED_TRACE(in);
    uint32_t c[2] = {7, 8};
    if (!ParseColorList(in, c, 2)) continue;
    std::string out = FormatColorList(c, 2);
    uint32_t back[2] = {1, 2};
    ASSERT_TRUE(ParseColorList(out, back, 2)) << out;
    EXPECT_EQ(back[0], c[0]);
    EXPECT_EQ(back[1], c[1]);
  }
  // A signed number is not a colour: the key keeps its defaults.
  uint32_t c[2] = {7, 8};
  EXPECT_FALSE(ParseColorList("-1,FFFFFF", c, 2));
  EXPECT_FALSE(ParseColorList("000000,+1", c, 2));
  EXPECT_EQ(c[0], 7u);
}

TEST(SettingsFont, EveryRecordTakenIsWrittenBackReadably) {
  for (const char* in : {"-20,0,0,0,400,300,-1,0,128,3,2,1,49", "2147483647,-2147483648,0,0,0,0,0,0,0,0,0,0,511"}) {
    SCOPED_TRACE(in);
    FontRecord f;
    ASSERT_TRUE(ParseFontNumbers(in, f));
    FontRecord back;
    ASSERT_TRUE(ParseFontNumbers(FormatFontNumbers(f), back));
    EXPECT_EQ(FormatFontNumbers(back), FormatFontNumbers(f));
  }
}

TEST(MenuPaths, ShortenedToThirtyBytes) {
  EXPECT_EQ(AbbreviatePath("c:\\a\\b.js", 30), "c:\\a\\b.js");
  EXPECT_EQ(AbbreviatePath("c:\\projects\\scripts\\tools\\deploy\\run.wsf", 30), "c:\\...\\tools\\deploy\\run.wsf");
  EXPECT_LE(AbbreviatePath("c:\\projects\\scripts\\tools\\deploy\\run.wsf", 30).size(), 30u);
  EXPECT_EQ(AbbreviatePath("c:\\x\\a-very-long-file-name-for-a-script.js", 30).size(), 30u);
  std::string dbcs = "c:\\dir\\";
  for (int i = 0; i < 20; ++i) dbcs += "\x82\xa0";
  std::string cut = AbbreviatePath(dbcs, 30);
  EXPECT_LE(cut.size(), 30u);
  EXPECT_EQ(cut.size() % 2, 0u);  // whole double-byte characters only
}

TEST(Paths, FoldersAndExtensionsInTheCodePage932Sense) {
  EXPECT_EQ(PathFolder("C:\\Work\\a.js"), "C:\\Work");
  EXPECT_EQ(PathFolder("C:\\a.js"), "C:\\");
  EXPECT_EQ(PathFolder("a.js"), "");
  EXPECT_EQ(PathFolderWithSeparator("C:\\Tools\\r.exe"), "C:\\Tools\\");
  // "表" is 95 5C: its trail byte is not a separator.
  EXPECT_EQ(PathFolder("C:\\\x95\x5C\\x.js"), "C:\\\x95\x5C");
  EXPECT_EQ(PathFolder("C:\\d\\\x95\x5C.js"), "C:\\d");
  EXPECT_EQ(PathExtensionDot("C:\\d.x\\name"), std::string::npos);
  EXPECT_EQ(PathExtensionDot("C:\\d\\n.vbs"), 6u);
}
