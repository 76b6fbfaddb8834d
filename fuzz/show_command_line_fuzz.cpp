// libFuzzer target: any command line of `dtu-config show` (arguments split at zero bytes) ends
// with one of the documented exit statuses and never crashes. File arguments are confined to a
// folder of seed files: an argument with a slash is not tried, and the others name files of that
// folder, so that no run reads a device or a FIFO of the machine.
#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "cli/show_command.h"
#include "writing/config_file.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

QTemporaryDir* g_dir = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static int argc = 1;
  static char name[] = "show_command_line_fuzz";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  static QTemporaryDir dir;
  g_dir = &dir;
  // Files the command lines may name: a complete one, a cut one, a foreign one and an empty one.
  const std::string reply = "AT+SHOW\r\nAccess Point Name:cmnet\r\nGENSENSORINFO 0:1,2\r\nOK\r\n";
  WriteConfigFileTo(dir.filePath(QStringLiteral("a.cfg")).toStdString(), reply, nullptr);
  WriteConfigFileTo(dir.filePath(QStringLiteral("cut.cfg")).toStdString(), reply.substr(0, 30),
                    nullptr);
  WriteConfigFileTo(dir.filePath(QStringLiteral("x")).toStdString(), "[Set]\r\n", nullptr);
  WriteConfigFileTo(dir.filePath(QStringLiteral("e")).toStdString(), "", nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.find('/') != std::string::npos) return 0;
  QStringList args{QStringLiteral("dtu-config show")};
  size_t start = 0;
  while (start <= bytes.size() && args.size() < 16) {
    size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    QString arg = QString::fromLocal8Bit(bytes.data() + start, static_cast<qsizetype>(end - start));
    // Not an option: a file of the folder.
    if (!arg.startsWith(QLatin1Char('-'))) arg = g_dir->filePath(arg);
    args << arg;
    start = end + 1;
  }
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunShowCommand(args, out, err);
  Check(status == 0 || status == 1 || status == 2);
  // A failure says why on stderr and prints no report.
  if (status != 0) Check(!err.str().empty() && out.str().empty());
  return 0;
}
