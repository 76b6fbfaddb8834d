#include "texts/settings.h"
#include "texts/language.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

TEST(LanguageValue, ReadsDecimalLeadingDigitsAndFallsBackToEnglish) {
  struct Case {
    const char* file;  // nullptr: no file at all
    int expected;
  };
  const Case cases[] = {
      {"[Set]\r\nLanguage=0\r\n", 0},
      {"[Set]\r\nLanguage=1\r\n", 1},
      {"[Set]\r\nLanguage=2\r\n", 2},
      {"[Set]\r\nLanguage=abc\r\n", 0},
      {"[Set]\r\nLanguage=12x\r\n", 12},
      {"[set]\r\nlanguage = 1\r\n", 1},
      {"[Other]\r\nLanguage=1\r\n", 0},
      {"", 0},
      {nullptr, 0},
  };
  for (const Case& c : cases) {
    TempDir dir;
    if (c.file) dir.Write("config.ini", c.file);
    EXPECT_EQ(ReadLanguageValue(dir.Path() + "config.ini"), c.expected)
        << (c.file ? c.file : "(no file)");
  }
}

TEST(ProgramPaths, ChooseTheSkinDirectoryByLanguage) {
  ProgramPaths en = MakeProgramPaths("/opt/dtu", 0);
  EXPECT_EQ(en.programDir, "/opt/dtu/");
  EXPECT_EQ(en.configPath, "/opt/dtu/config.ini");
  EXPECT_EQ(en.skinDir, "/opt/dtu/skin/ConifgENRes");
  EXPECT_EQ(en.languagePath, "/opt/dtu/skin/ConifgENRes/Language.ini");
  EXPECT_EQ(MakeProgramPaths("/opt/dtu/", 2).skinDir, "/opt/dtu/skin/ConifgRes");
}

TEST(LanguageText, GivesTheSuffixAloneWhenFileSectionOrKeyIsMissing) {
  TempDir dir;
  SetLanguageFile(dir.Path() + "missing.ini");
  EXPECT_EQ(LanguageText("ComSend", "send", "\r\n"), "\r\n");

  SetLanguageFile(dir.Write("Language.ini", "[ComSend]\r\nsend=send\r\n"));
  EXPECT_EQ(LanguageText("ComSend", "send", ""), "send");
  EXPECT_EQ(LanguageText("ComSend", "other", "x"), "x");
  EXPECT_EQ(LanguageText("Nothing", "send", ""), "");
}

TEST(LanguageText, CutsValuesAt199BytesAndKeepsSemicolonsAndQuotesOfWords) {
  TempDir dir;
  const std::string longValue(250, 'x');
  SetLanguageFile(
      dir.Write("Language.ini", "[A]\r\nlong=" + longValue + "\r\nexact=" + std::string(199, 'y') +
                                    "\r\nsemi=Retry; later\r\nquoted=\"  padded  \"\r\n"));
  EXPECT_EQ(LanguageText("A", "long", "\r\n"), std::string(199, 'x') + "\r\n");
  EXPECT_EQ(LanguageText("A", "exact", ""), std::string(199, 'y'));
  EXPECT_EQ(LanguageText("A", "semi", ""), "Retry; later");
  EXPECT_EQ(LanguageText("A", "quoted", ""), "  padded  ");
}

TEST(LanguageText, ReadsUtf8TextsWithAByteOrderMark) {
  TempDir dir;
  SetLanguageFile(dir.Write("Language.ini", "\xEF\xBB\xBF[OnStartCom]\nOpen=打开串口\n"));
  EXPECT_EQ(LanguageText("OnStartCom", "Open", ""), "打开串口");
}

TEST(WriteIniString, AddsOrReplacesTheKeyAndKeepsTheRest) {
  TempDir dir;
  const std::string path = dir.Path() + "config.ini";
  ASSERT_TRUE(WriteIniString(path, "Set", "Language", "1"));
  EXPECT_EQ(ReadLanguageValue(path), 1);

  dir.Write("config.ini", "; kept\r\n[CustomVer]\r\nCustomVer=-X\r\n[Set]\r\nLanguage=0\r\n");
  ASSERT_TRUE(WriteIniString(path, "Set", "Language", "1"));
  EXPECT_EQ(ReadLanguageValue(path), 1);
  EXPECT_EQ(ReadIniString(path, "CustomVer", "CustomVer", "", 260), "-X");
  EXPECT_NE(dir.Read("config.ini").find("; kept"), std::string::npos);

  dir.Write("config.ini", "[CustomVer]\r\nCustomVer=-X\r\n");
  ASSERT_TRUE(WriteIniString(path, "Set", "Language", "0"));
  EXPECT_EQ(ReadIniString(path, "Set", "Language", "", 20), "0");
  EXPECT_EQ(ReadIniString(path, "CustomVer", "CustomVer", "", 260), "-X");
}
