#include "app/demo_device.h"

#include <sys/prctl.h>

#include <QFileInfo>

#include <csignal>

#include "device_config.h"
#include "device_models.h"

bool IsDemoModel(const std::string& name) {
  return FindDeviceModel(name) != nullptr;
}

std::string DemoShowReply(int page, const std::string& model) {
  const char* const modulePages[] = {"zr350-l", "zr350-z", "zr750"};
  const DeviceModel* chosen = nullptr;
  if (!model.empty()) chosen = FindDeviceModel(model);
  if (!chosen && page >= 7 && page <= 9) chosen = FindDeviceModel(modulePages[page - 7]);
  const DeviceConfig device(chosen ? *chosen : DefaultDeviceModel());
  return "AT+SHOW\r\n" + device.ShowText() + "\r\nOK\r\n";
}

DemoDevice::~DemoDevice() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(2000)) process_.kill();
  process_.waitForFinished(1000);
}

bool DemoDevice::Start(const std::string& simPath, std::string* error) {
  if (!QFileInfo(QString::fromStdString(simPath)).isExecutable()) {
    *error = "the simulated device " + simPath + " is missing";
    return false;
  }
  // The simulator's stdin is closed: it takes no control commands in the demo.
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  // Should the program end without its destructors (SIGKILL, a crash), the simulator goes too.
  process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
  process_.start(QString::fromStdString(simPath), {"--no-stdin-control"});
  if (!process_.waitForStarted(5000)) {
    *error = "cannot start " + simPath + ": " + process_.errorString().toStdString();
    return false;
  }
  // The first line is "PTY <path>".
  while (!process_.canReadLine()) {
    if (!process_.waitForReadyRead(5000)) {
      *error = simPath + " did not announce its port";
      return false;
    }
  }
  const QString line = QString::fromUtf8(process_.readLine()).trimmed();
  if (!line.startsWith("PTY ")) {
    *error = simPath + " announced \"" + line.toStdString() + "\" instead of its port";
    return false;
  }
  portPath_ = line.mid(4).toStdString();
  return true;
}
