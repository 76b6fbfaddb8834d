#include "writing/config_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <string>

#include "catalogue/show_reply_parser.h"

namespace {

using namespace std::string_literals;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Fixture(const std::string& name) {
  return ReadBytes(std::string(DTU_TEST_DATA_DIR) + "/show/" + name);
}

class ConfigFileTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  QTemporaryDir dir_;
};

TEST(ConfigFileCodec, StoresEveryLineFeedAsCarriageReturnLineFeed) {
  EXPECT_EQ(EncodeConfigFile("a\r\nb\nc\r"), "a\r\r\nb\r\nc\r");
  EXPECT_EQ(EncodeConfigFile(Fixture("zr350v4_show.reply")), Fixture("zr350v4.cfg"));
}

TEST(ConfigFileCodec, ReadsCrLfPairsAsLineFeedsUpToAnEndOfTextByte) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"a\r\r\nb\r\r\n", "a\r\nb\r\n"},
      // The text keeps a lone line feed beside a CR LF.
      {"a\r\r\nb\r\nc", "a\r\nb\nc"},
      {"a\r\r\nb\n\r", "a\r\nb\n\r"},
      {"a\r\r\n\x1a\r\nrest", "a\r\n"},
      // Without a single CR LF, the line ends were rewritten to a plain form: each is CR LF.
      {"a\r\nb", "a\r\nb"},
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\rb\n\r", "a\rb\r\n\r"},
      {"\x1a"s, ""},
      {"a\0b"s, "a\0b"s},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeConfigFile(c.bytes), c.text);
}

TEST(ConfigFileNames, SuggestedNameCarriesTheDeviceTypeAndTheDay) {
  const struct {
    const char* type;
    const char* name;
  } cases[] = {
      {"ZR350", "ZR350-20261211.cfg"},
      {"ZR350-L", "ZR350-L-20261211.cfg"},
      {"", "dtu-config-20261211.cfg"},              // not read yet
      {"ZR 350/../x", "ZR-350-..-x-20261211.cfg"},  // no folder, no blank
      {"..", "dtu-config-20261211.cfg"},
      {"\xd6\xd0", "dtu-config-20261211.cfg"},  // nothing readable is left
  };
  for (const auto& c : cases) EXPECT_EQ(SuggestedConfigFileName(c.type, "20261211"), c.name);
}

TEST(ConfigFileCodec, CutsTheTextAt8192Characters) {
  // 5000 lines of "x\r\r\n" are 15000 characters when read: only the first 8192 remain.
  std::string reply;
  for (int i = 0; i < 5000; ++i) reply += "x\r\n";
  const std::string text = DecodeConfigFile(EncodeConfigFile(reply));
  EXPECT_EQ(text, reply.substr(0, kConfigFileMaxChars));

  // A CR LF pair counts as one character, also right at the limit.
  const std::string full(kConfigFileMaxChars - 4, 'x');
  EXPECT_EQ(DecodeConfigFile("a\r\r\n" + full + "\r\nyy"), "a\r\n" + full + "\n");
  EXPECT_EQ(DecodeConfigFile("a\r\r\n" + full + "y\r\n"), "a\r\n" + full + "y");
  // A text in a plain form stays within the limit once its line ends are read as CR LF.
  EXPECT_EQ(DecodeConfigFile(std::string(kConfigFileMaxChars, '\n')).size(), kConfigFileMaxChars);
}

TEST(ConfigFileCodec, RefusesTextThatIsNotAShowReply) {
  std::string reason;
  EXPECT_TRUE(CheckConfigText(DecodeConfigFile(Fixture("zr350v4.cfg")), &reason));
  EXPECT_FALSE(CheckConfigText("[Set]\r\nLanguage=0\r\n", &reason));
  EXPECT_NE(reason.find("Access Point Name:"), std::string::npos) << reason;
  EXPECT_FALSE(CheckConfigText("", &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(CheckConfigText("Access Point Name", nullptr));
}

TEST_F(ConfigFileTest, SavedFileLoadsBackAsTheReplyByteForByte) {
  ASSERT_TRUE(dir_.isValid());
  const std::string reply = Fixture("zr350v4_show.reply");
  const std::string path = PathOf("DTU.cfg");
  std::string error;
  ASSERT_TRUE(WriteConfigFileTo(path, reply, &error)) << error;
  EXPECT_EQ(ReadBytes(path), Fixture("zr350v4.cfg"));

  std::string text;
  ASSERT_TRUE(ReadConfigFileFrom(path, &text, &error)) << error;
  EXPECT_EQ(text, reply);
}

TEST_F(ConfigFileTest, ANewFileIsTheOwnersAloneAndAReplacedOneKeepsItsMode) {
  // The configuration holds the device's passwords.
  const std::string fresh = PathOf("fresh.cfg");
  ASSERT_TRUE(WriteConfigFileTo(fresh, "Access Point Name:x\r\nOK\r\n", nullptr));
  struct stat info {};
  ASSERT_EQ(stat(fresh.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  const std::string shared = PathOf("shared.cfg");
  WriteBytes(shared, "old");
  ASSERT_EQ(chmod(shared.c_str(), 0644), 0);
  ASSERT_TRUE(WriteConfigFileTo(shared, "Access Point Name:x\r\nOK\r\n", nullptr));
  ASSERT_EQ(stat(shared.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(ConfigFileTest, SavingOverALongerFileLeavesNothingOfIt) {
  const std::string path = PathOf("DTU");  // a name typed without extension is used as typed
  WriteBytes(path, std::string(20000, 'z'));
  ASSERT_TRUE(WriteConfigFileTo(path, "Access Point Name:cmnet\r\nOK\r\n", nullptr));
  EXPECT_EQ(ReadBytes(path), "Access Point Name:cmnet\r\r\nOK\r\r\n");
}

TEST_F(ConfigFileTest, FileRewrittenWithPlainLineEndsLoadsAsTheReply) {
  // An editor that rewrote every line end to CR LF, and git that made them LF.
  const std::string reply = Fixture("zr350v4_show.reply");
  std::string lf;
  for (size_t i = 0; i < reply.size(); ++i) {
    if (reply.compare(i, 2, "\r\n") == 0) continue;
    lf += reply[i];
  }
  for (const std::string& bytes : {reply, lf}) {
    const std::string path = PathOf("edited.cfg");
    WriteBytes(path, bytes);
    std::string text;
    ASSERT_TRUE(ReadConfigFileFrom(path, &text, nullptr));
    EXPECT_EQ(text, reply);
    std::string reason;
    EXPECT_TRUE(AcceptConfigText(text, &reason)) << reason;
  }
}

TEST(ConfigFileCompleteness, TextCutBeforeTheFinalOkLineIsIncomplete) {
  const std::string whole = DecodeConfigFile(Fixture("zr350v4.cfg"));
  ASSERT_TRUE(ConfigTextIsComplete(whole));
  struct Case {
    std::string text;
    bool complete;
  };
  const Case cases[] = {
      {whole.substr(0, whole.size() / 2), false},  // cut in the middle of a line
      {whole.substr(0, whole.size() - 5), false},  // cut right before "OK"
      {whole.substr(0, whole.size() - 3), false},  // "O" only
      {whole.substr(0, whole.size() - 2), true},   // "OK" without its line end
      {whole + "\r\n", true},                      // a blank line after it
      {"Access Point Name:OK\r\n", false},         // "OK" inside a value is no final line
      {"Access Point Name:x\r\nOKNET\r\n", false},
      {"OK\r\n", false},  // nothing before it: not a reply
      {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConfigTextIsComplete(c.text), c.complete)
        << c.text.substr(c.text.size() > 40 ? c.text.size() - 40 : 0);
  }
  // A file cut by a full disk, read back, is incomplete.
  const std::string cut = Fixture("zr350v4.cfg").substr(0, 4096);
  EXPECT_FALSE(ConfigTextIsComplete(DecodeConfigFile(cut)));
}

TEST_F(ConfigFileTest, FailuresComeBackWithAReason) {
  std::string error;
  std::string text = "kept";
  EXPECT_FALSE(ReadConfigFileFrom(PathOf("missing.cfg"), &text, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(text, "kept");

  error.clear();
  EXPECT_FALSE(WriteConfigFileTo(PathOf("no/such/folder/DTU.cfg"), "x", &error));
  EXPECT_FALSE(error.empty());

  error.clear();
  EXPECT_FALSE(ReadConfigFileFrom(dir_.path().toStdString(), &text, &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(ConfigFileTest, LongFileIsReadOnlyAsFarAsTheTextGoes) {
  const std::string path = PathOf("long.cfg");
  std::string reply = "Access Point Name:cmnet\r\n";
  while (reply.size() < 3 * kConfigFileMaxChars) reply += "\r\nLORA ID:1\r\n";
  ASSERT_TRUE(WriteConfigFileTo(path, reply, nullptr));
  std::string text;
  ASSERT_TRUE(ReadConfigFileFrom(path, &text, nullptr));
  EXPECT_EQ(text, reply.substr(0, kConfigFileMaxChars));
}

}  // namespace
