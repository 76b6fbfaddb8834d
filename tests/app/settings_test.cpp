#include "texts/settings.h"
#include "texts/language.h"

#include <gtest/gtest.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>

#include <cstdlib>
#include <fstream>
#include <optional>

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
  EXPECT_EQ(en.shareDir, "/opt/share/dtu-config/");
  EXPECT_EQ(en.skinDir, "/opt/dtu/skin/ConifgENRes");
  EXPECT_EQ(en.languagePath, "/opt/dtu/skin/ConifgENRes/Language.ini");
  EXPECT_EQ(MakeProgramPaths("/opt/dtu/", 2).skinDir, "/opt/dtu/skin/ConifgRes");
}

namespace {

// Sets or unsets an environment variable for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// While alive, this thread reaches files with the rights of an unprivileged user, so that a
// read-only folder is read-only for the test even when it runs as root.
class UnprivilegedFiles {
 public:
  UnprivilegedFiles() : active_(::geteuid() == 0) {
    if (!active_) return;
    ::setfsgid(65534);
    ::setfsuid(65534);
  }
  ~UnprivilegedFiles() {
    if (!active_) return;
    ::setfsuid(0);
    ::setfsgid(0);
  }

 private:
  bool active_;
};

void MakeDirs(const std::string& path) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path))) << path;
  ::chmod(path.c_str(), 0755);
}

enum class Access { kWritable, kFolderReadOnly, kFileReadOnly };

}  // namespace

// A program folder "usr/bin" beside "usr/share/dtu-config", a home and an XDG folder, all in a
// real temporary folder; the expected paths are relative to it.
TEST(ProgramPaths, FindSkinsBesideTheProgramThenInShareAndConfigWhereItCanBeWritten) {
  struct Case {
    const char* what;
    int language;
    bool skinBeside;
    bool skinShared;
    bool configBeside;
    Access access;
    const char* xdg;  // nullptr: unset; "@" is replaced by the temporary folder
    const char* skinAt;
    const char* configAt;
  };
  const Case cases[] = {
      {"build folder or portable copy", 0, true, false, true, Access::kWritable, "@/xdg",
       "usr/bin/skin/ConifgENRes", "usr/bin/config.ini"},
      {"portable copy without config.ini", 0, true, false, false, Access::kWritable, "@/xdg",
       "usr/bin/skin/ConifgENRes", "xdg/dtu-config/config.ini"},
      {"beside wins over share", 1, true, true, false, Access::kWritable, nullptr,
       "usr/bin/skin/ConifgRes", "home/.config/dtu-config/config.ini"},
      {"installed", 0, false, true, false, Access::kFolderReadOnly, nullptr,
       "usr/share/dtu-config/skin/ConifgENRes", "home/.config/dtu-config/config.ini"},
      {"installed, Chinese, XDG set", 2, false, true, false, Access::kFolderReadOnly, "@/xdg",
       "usr/share/dtu-config/skin/ConifgRes", "xdg/dtu-config/config.ini"},
      {"stray config.ini in a read-only program folder", 0, false, true, true,
       Access::kFolderReadOnly, "@/xdg", "usr/share/dtu-config/skin/ConifgENRes",
       "xdg/dtu-config/config.ini"},
      {"read-only config.ini beside", 0, true, false, true, Access::kFileReadOnly, "@/xdg",
       "usr/bin/skin/ConifgENRes", "xdg/dtu-config/config.ini"},
      {"config.ini beside in a read-only folder, XDG empty", 0, true, false, true,
       Access::kFolderReadOnly, "", "usr/bin/skin/ConifgENRes",
       "home/.config/dtu-config/config.ini"},
      {"relative XDG is ignored", 0, false, true, false, Access::kWritable, "xdg",
       "usr/share/dtu-config/skin/ConifgENRes", "home/.config/dtu-config/config.ini"},
      {"no skin anywhere: reported beside the program", 0, false, false, true, Access::kWritable,
       nullptr, "usr/bin/skin/ConifgENRes", "usr/bin/config.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string root = dir.Path();
    ::chmod(root.c_str(), 0755);
    const std::string folder = c.language != 0 ? "skin/ConifgRes" : "skin/ConifgENRes";
    MakeDirs(root + "usr/bin");
    MakeDirs(root + "home");
    if (c.skinBeside) MakeDirs(root + "usr/bin/" + folder);
    if (c.skinShared) MakeDirs(root + "usr/share/dtu-config/" + folder);
    if (c.configBeside) dir.Write("usr/bin/config.ini", "[Set]\r\nLanguage=0\r\n");
    if (c.access == Access::kFileReadOnly) {  // in a folder anyone may write to
      ::chmod((root + "usr/bin/config.ini").c_str(), 0444);
      ::chmod((root + "usr/bin").c_str(), 0777);
    }
    if (c.access == Access::kFolderReadOnly) {
      // The file alone could be rewritten in place, but not replaced.
      if (c.configBeside) ::chmod((root + "usr/bin/config.ini").c_str(), 0666);
      ::chmod((root + "usr/bin").c_str(), 0555);
    }
    std::string xdg = c.xdg ? c.xdg : "";
    if (!xdg.empty() && xdg[0] == '@') xdg = root.substr(0, root.size() - 1) + xdg.substr(1);
    ScopedEnv xdgEnv("XDG_CONFIG_HOME", c.xdg ? xdg.c_str() : nullptr);
    ScopedEnv homeEnv("HOME", (root + "home").c_str());

    ProgramPaths paths;
    if (c.access == Access::kWritable) {
      paths = MakeProgramPaths(root + "usr/bin", c.language);
    } else {
      UnprivilegedFiles unprivileged;
      paths = MakeProgramPaths(root + "usr/bin", c.language);
    }
    EXPECT_EQ(paths.programDir, root + "usr/bin/");
    EXPECT_EQ(paths.shareDir, root + "usr/share/dtu-config/");
    EXPECT_EQ(paths.skinDir, root + c.skinAt);
    EXPECT_EQ(paths.languagePath, root + c.skinAt + "/Language.ini");
    EXPECT_EQ(paths.configPath, root + c.configAt);
    ::chmod((root + "usr/bin").c_str(), 0755);  // lets the temporary folder be removed
  }
}

TEST(ProgramPaths, TheLanguageSwitchCanWriteToTheUsersConfigFolder) {
  TempDir dir;
  const std::string root = dir.Path();
  MakeDirs(root + "usr/share/dtu-config/skin/ConifgENRes");
  MakeDirs(root + "usr/bin");
  ScopedEnv xdgEnv("XDG_CONFIG_HOME", (root + "config/deeper").c_str());
  const ProgramPaths paths = MakeProgramPaths(root + "usr/bin", 0);
  ASSERT_EQ(paths.configPath, root + "config/deeper/dtu-config/config.ini");
  EXPECT_EQ(ReadLanguageValue(paths.configPath), 0);  // no file yet: English

  ASSERT_TRUE(MakeConfigFolder(paths));
  ASSERT_TRUE(MakeConfigFolder(paths));  // already there
  struct stat st {};
  ASSERT_EQ(::stat((root + "config/deeper/dtu-config").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_TRUE(WriteIniString(paths.configPath, "Set", "Language", "1"));
  EXPECT_EQ(ReadLanguageValue(MakeProgramPaths(root + "usr/bin", 0).configPath), 1);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(root + "usr/bin/config.ini")));

  // A file where the folder should be: reported, not mistaken for a folder.
  ScopedEnv blocked("XDG_CONFIG_HOME", dir.Write("file", "x").c_str());
  EXPECT_FALSE(MakeConfigFolder(MakeProgramPaths(root + "usr/bin", 0)));
}

TEST(ProgramPaths, HelpIsTakenFromTheWorkingDirectoryThenTheSkinThenBesideThenShare) {
  TempDir dir;
  const std::string root = dir.Path();
  MakeDirs(root + "usr/bin/skin/ConifgRes");
  MakeDirs(root + "usr/share/dtu-config");
  MakeDirs(root + "work");
  const ProgramPaths paths = MakeProgramPaths(root + "usr/bin", 1);
  const std::string work = root + "work";
  EXPECT_EQ(FindHelpFile(paths, work), "");
  const char* const places[] = {"usr/share/dtu-config/Help.txt", "usr/bin/Help.txt",
                                "usr/bin/skin/ConifgRes/Help.txt", "work/Help.txt"};
  for (const char* place : places) {  // each one found before those already there
    dir.Write(place, "help");
    EXPECT_EQ(FindHelpFile(paths, work), root + place);
  }
  EXPECT_EQ(FindHelpFile(paths, ""), root + "usr/bin/skin/ConifgRes/Help.txt");
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

  // Two byte order marks in front: the first section is read, and written, as the same one.
  dir.Write("config.ini", "\xEF\xBB\xBF\xEF\xBB\xBF[Set]\r\nLanguage=0\r\n[Set]\r\nLanguage=2\r\n");
  EXPECT_EQ(ReadLanguageValue(path), 0);
  ASSERT_TRUE(WriteIniString(path, "Set", "Language", "1"));
  EXPECT_EQ(ReadLanguageValue(path), 1);
}
