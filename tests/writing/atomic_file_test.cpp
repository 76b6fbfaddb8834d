// Saving files: a full disk or a target that is not a regular file leaves the previous file as
// it was and says why; a good save replaces the file whole.
#include "texts/atomic_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "full_disk.h"
#include "texts/settings.h"
#include "writing/config_file.h"

namespace {

using ::testing::HasSubstr;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Fixture(const std::string& name) {
  return ReadBytes(std::string(DTU_TEST_DATA_DIR) + "/show/" + name);
}

// Only the given file is left in the folder: no temporary file stays behind.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const QString& name :
       QDir(QString::fromStdString(folder))
           .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
    names.push_back(name.toStdString());
  }
  return names;
}

TEST(FullDisk, ConfigurationSaveKeepsThePreviousFileByteForByteAndSaysWhy) {
  // The new reply is larger than the room left: the write stops in the middle of a line.
  const std::string previous = Fixture("zr350v4.cfg");
  std::string bigger = Fixture("zr350v4_show.reply");
  while (bigger.size() < 3 * previous.size()) bigger += "GENSENSORINFO 9:0,1,3,0,1,0,0,1,,0\r\n";

  // Two pages beside the previous file.
  FullDisk disk(static_cast<long>(previous.size() + 8192));
  const std::string path = disk.PathOf("DTU.cfg");
  ASSERT_TRUE(WriteFileAtomically(path, previous, nullptr));
  disk.Fill(8192);

  std::string error;
  EXPECT_FALSE(WriteConfigFileTo(path, bigger, &error));
  disk.Unlimit();
  EXPECT_EQ(error, std::strerror(disk.Mounted() ? ENOSPC : EFBIG));
  EXPECT_EQ(ReadBytes(path), previous);
  EXPECT_EQ(FilesIn(disk.PathOf("")), std::vector<std::string>{"DTU.cfg"});

  // Once there is room again the same save goes through.
  if (!disk.Mounted()) {
    ASSERT_TRUE(WriteConfigFileTo(path, bigger, &error)) << error;
    EXPECT_EQ(ReadBytes(path), EncodeConfigFile(bigger));
  }
}

TEST(FullDisk, SettingsSaveKeepsThePreviousFile) {
  FullDisk disk(4096);
  const std::string path = disk.PathOf("config.ini");
  std::string previous = "[Set]\r\nLanguage=0\r\n";
  while (previous.size() < 3000) previous += "; a comment the user keeps in the file\r\n";
  ASSERT_TRUE(WriteFileAtomically(path, previous, nullptr));
  disk.Fill(1024);
  // The new file needs as much room as the old one, which the disk no longer has beside it.
  EXPECT_FALSE(WriteIniString(path, "Set", "Language", "1"));
  disk.Unlimit();
  EXPECT_EQ(ReadBytes(path), previous);
  EXPECT_EQ(FilesIn(disk.PathOf("")), std::vector<std::string>{"config.ini"});
}

class SaveTarget : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  QTemporaryDir dir_;
};

TEST_F(SaveTarget, ThatIsNotARegularFileIsRefusedAndLeftAsItWas) {
  const std::string fifo = PathOf("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = PathOf("folder");
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
  const std::string linkToFifo = PathOf("link-to-fifo");
  ASSERT_EQ(symlink(fifo.c_str(), linkToFifo.c_str()), 0);
  std::vector<std::pair<std::string, mode_t>> targets = {
      {fifo, S_IFIFO}, {folder, S_IFDIR}, {linkToFifo, S_IFIFO}};
  // A device node of its own (as root only): the save must not replace it as it would
  // /dev/null.
  const std::string device = PathOf("null");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
    targets.push_back({device, S_IFCHR});

  for (const auto& [target, type] : targets) {
    std::string error;
    EXPECT_FALSE(WriteConfigFileTo(target, "Access Point Name:x\r\nOK\r\n", &error)) << target;
    EXPECT_EQ(error, "not a regular file") << target;
    struct stat after {};
    ASSERT_EQ(stat(target.c_str(), &after), 0) << target;
    EXPECT_EQ(after.st_mode & S_IFMT, type) << target;
    // Reading a FIFO as settings would wait for a writer forever.
    EXPECT_FALSE(WriteIniString(target, "Set", "Language", "1")) << target;
    EXPECT_EQ(ReadIniString(target, "Set", "Language", "none", 20), "none") << target;
    std::string text = "kept";
    EXPECT_FALSE(ReadConfigFileFrom(target, &text, &error)) << target;
    EXPECT_EQ(text, "kept");
  }
}

TEST_F(SaveTarget, ReplacesAFileWholeKeepingItsPermissionsAndSymbolicLinks) {
  const std::string path = PathOf("DTU.cfg");
  ASSERT_TRUE(WriteFileAtomically(path, "old contents that are longer", nullptr));
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const std::string link = PathOf("link.cfg");
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);

  std::string error;
  ASSERT_TRUE(WriteFileAtomically(link, "new", &error)) << error;
  EXPECT_EQ(ReadBytes(path), "new");
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(FilesIn(dir_.path().toStdString()), (std::vector<std::string>{"DTU.cfg", "link.cfg"}));
}

TEST_F(SaveTarget, InAMissingFolderSaysSo) {
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(PathOf("no/such/folder/DTU.cfg"), "x", &error));
  EXPECT_EQ(error, std::strerror(ENOENT));
}

}  // namespace
