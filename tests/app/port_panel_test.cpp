// The port list of the real window following adapters plugged into a fake /dev tree (real ptys
// behind the links), the remembered connection, the busy port named, and the reopen offer.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "event_loop.h"
#include "temp_dir.h"
#include "test_program.h"
#include "ui/skin_window.h"

namespace fs = std::filesystem;

namespace {

struct Pty {
  int master = -1;
  std::string slave;
};

Pty OpenPty() {
  Pty pty;
  pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (pty.master < 0 || grantpt(pty.master) != 0 || unlockpt(pty.master) != 0) return pty;
  pty.slave = ptsname(pty.master);
  return pty;
}

class PortPanelTest : public testing::Test {
 protected:
  void SetUp() override {
    // config.ini beside the program, so that the test never writes the user's own.
    program_.Write("config.ini", "");
    fs::create_directories(Root() + "dev/serial/by-id");
    fs::create_directories(Root() + "sys/class/tty");
    MakeWindow();
  }
  void TearDown() override {
    window_.reset();
    for (Pty& pty : ptys_) {
      if (pty.master >= 0) close(pty.master);
    }
  }

  std::string Root() { return tree_.Path(); }
  void MakeWindow() {
    window_.reset();
    std::string error;
    window_ = MakeTestWindow(program_.Path(), 0, &error);
    ASSERT_TRUE(window_) << error;
    PortSources sources;
    sources.serialById = Root() + "dev/serial/by-id";
    sources.sysClassTty = Root() + "sys/class/tty";
    sources.devDir = Root() + "dev";
    sources.watched = {sources.serialById, sources.devDir};
    window_->device().ports().UseSources(sources);
  }
  // An adapter appears: its USB device in sysfs, its node (a link to a fresh pty) and, when
  // named, its by-id link.
  std::string Plug(const std::string& node, const std::string& byId = "", bool usb = true) {
    ptys_.push_back(OpenPty());
    EXPECT_FALSE(ptys_.back().slave.empty());
    if (usb) {
      fs::create_directories(Root() + "sys/devices/usb1/" + node);
      fs::create_directories(Root() + "sys/class/tty/" + node);
      fs::create_directory_symlink(Root() + "sys/devices/usb1/" + node,
                                   Root() + "sys/class/tty/" + node + "/device");
    }
    fs::create_symlink(ptys_.back().slave, Root() + "dev/" + node);
    if (!byId.empty()) fs::create_symlink("../../" + node, Root() + "dev/serial/by-id/" + byId);
    return Root() + "dev/" + node;
  }
  void Unplug(const std::string& node, const std::string& byId = "") {
    fs::remove(Root() + "dev/" + node);
    fs::remove_all(Root() + "sys/class/tty/" + node);
    if (!byId.empty()) fs::remove(Root() + "dev/serial/by-id/" + byId);
  }
  ComboControl* Ports() { return window_->form().FindCombo("SerialPort"); }
  std::string Selected() { return window_->form().Find("SerialPort")->Text(); }
  bool Lists(const std::string& path) {
    for (int i = 0; i < Ports()->ItemCount(); ++i) {
      if (Ports()->ItemText(i).rfind(path, 0) == 0) return true;
    }
    return false;
  }
  void Click(const char* name) { window_->Notify({"click", window_->form().Find(name), 0, 0}); }
  std::string Log() { return window_->form().Find("richedit")->Text(); }
  void Choose(const char* combo, const std::string& text) {
    ComboControl* c = window_->form().FindCombo(combo);
    for (int i = 0; i < c->ItemCount(); ++i) {
      if (c->ItemText(i).rfind(text, 0) == 0) {
        c->SelectItem(i);
        return;
      }
    }
    FAIL() << text << " is not offered by " << combo;
  }

  // The window with the port list dropped down, for the documentation.
  void SaveWithOpenList(const std::string& png, int width, int height) {
    QWidget* top = window_->window();
    top->resize(width, height);
    top->show();
    auto* combo = top->findChild<QComboBox*>("SerialPort");
    ASSERT_NE(combo, nullptr);
    combo->showPopup();
    PumpFor(300);
    QPixmap picture = top->grab();
    QWidget* popup = combo->view()->window();
    QPainter painter(&picture);
    painter.drawPixmap(top->mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    painter.end();
    combo->hidePopup();
    EXPECT_TRUE(picture.save(QString::fromStdString(png), "PNG"));
  }

  TempDir program_;
  TempDir tree_;
  std::vector<Pty> ptys_;
  std::unique_ptr<CZR350FrameWnd> window_;
};

TEST_F(PortPanelTest, APluggedAdapterIsListedAndSelectedUntilTheUserChoosesOne) {
  const std::string ftdi = Plug("ttyUSB0", "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  ASSERT_TRUE(PumpUntil([&] { return Lists(ftdi); })) << Log();
  EXPECT_EQ(Selected(), ftdi + " \xE2\x80\x94 FTDI FT232R USB UART A50285BI");
  EXPECT_NE(Log().find("Adapter plugged in: " + ftdi), std::string::npos) << Log();

  // The newest adapter is offered while the user has chosen none.
  const std::string cp2102 = Plug("ttyUSB1", "usb-Silicon_Labs_CP2102_0001-if00-port0");
  ASSERT_TRUE(PumpUntil([&] { return Selected().rfind(cp2102, 0) == 0; })) << Selected();
  if (const char* dir = std::getenv("DTU_SCREENSHOT_DIR")) {
    SaveWithOpenList(std::string(dir) + "/port-list-after-plug.png", 1100, 680);
    SaveWithOpenList(std::string(dir) + "/port-list-after-plug-1920.png", 1920, 1080);
  }

  // Once the user picked one, plugging another leaves the choice alone.
  Choose("SerialPort", ftdi);
  const std::string acm = Plug("ttyACM0");
  ASSERT_TRUE(PumpUntil([&] { return Lists(acm); }));
  EXPECT_EQ(Selected().rfind(ftdi, 0), 0u) << Selected();

  // Unplugged, it leaves the list; the refresh button still works.
  Unplug("ttyUSB1", "usb-Silicon_Labs_CP2102_0001-if00-port0");
  ASSERT_TRUE(PumpUntil([&] { return !Lists(cp2102); }));
  EXPECT_NE(Log().find("Port gone: " + cp2102), std::string::npos) << Log();
  Click("RefreshPorts");
  EXPECT_TRUE(Lists(acm));
  EXPECT_EQ(Selected().rfind(ftdi, 0), 0u) << Selected();
}

TEST_F(PortPanelTest, AdaptersComeBeforeBuiltInPorts) {
  // A built-in UART: a tty with a device (not USB) and a node.
  fs::create_directories(Root() + "sys/devices/pnp0/00:05");
  fs::create_directories(Root() + "sys/class/tty/ttyS0");
  fs::create_directory_symlink(Root() + "sys/devices/pnp0/00:05",
                               Root() + "sys/class/tty/ttyS0/device");
  std::ofstream(Root() + "sys/class/tty/ttyS0/type") << "4\n";
  const std::string builtIn = Plug("ttyS0", "", /*usb=*/false);
  const std::string adapter = Plug("ttyUSB3", "usb-WCH_CH340-if00-port0");
  ASSERT_TRUE(PumpUntil([&] { return Lists(adapter) && Lists(builtIn); }));
  EXPECT_EQ(Ports()->ItemText(0).rfind(adapter, 0), 0u);
  EXPECT_EQ(Ports()->ItemText(1), builtIn);
  EXPECT_EQ(Selected().rfind(adapter, 0), 0u);
}

TEST_F(PortPanelTest, TheLastConnectionIsRestoredAfterARestart) {
  const std::string port = Plug("ttyUSB0", "usb-FTDI_FT232R-if00-port0");
  const std::string other = Plug("ttyUSB1");
  ASSERT_TRUE(PumpUntil([&] { return Lists(port) && Lists(other); }));
  Choose("SerialPort", port);
  Choose("BaudRate1", "9600");
  Choose("Checkcode", "8E1");
  Click("Open");
  ASSERT_TRUE(window_->session().IsOpen()) << Log();
  Click("Open");

  MakeWindow();
  EXPECT_EQ(Selected().rfind(port, 0), 0u) << Selected();
  EXPECT_EQ(window_->form().Find("BaudRate1")->Text(), "9600");
  EXPECT_EQ(window_->form().Find("Checkcode")->Text(), "8E1");
  EXPECT_NE(program_.Read("config.ini").find("[Port]"), std::string::npos);
}

// Plugged in after another adapter, the same one comes up as ttyUSB1: its by-id link finds it.
TEST_F(PortPanelTest, AnAdapterIsRememberedByItsByIdLinkNotItsNodeName) {
  const std::string byId = "usb-FTDI_FT232R_A1B2-if00-port0";
  const std::string first = Plug("ttyUSB0", byId);
  ASSERT_TRUE(PumpUntil([&] { return Lists(first); }));
  Choose("SerialPort", first);
  Click("Open");
  ASSERT_TRUE(window_->session().IsOpen()) << Log();
  Click("Open");
  EXPECT_NE(program_.Read("config.ini").find(byId), std::string::npos)
      << program_.Read("config.ini");
  Unplug("ttyUSB0", byId);

  // The other adapter is the newest, so only the link can lead to the remembered one.
  const std::string again = Plug("ttyUSB1", byId);
  const std::string other = Plug("ttyUSB0", "usb-Prolific_PL2303-if00-port0");
  MakeWindow();
  ASSERT_TRUE(PumpUntil([&] { return Lists(other) && Lists(again); }));
  EXPECT_EQ(Selected().rfind(again, 0), 0u) << Selected();
}

TEST_F(PortPanelTest, AConfigThatCannotBeWrittenIsLoggedOnceAndHarmless) {
  // A folder where config.ini should be: every write fails.
  fs::remove(program_.Path() + "config.ini");
  fs::create_directory(program_.Path() + "config.ini");
  MakeWindow();
  const std::string port = Plug("ttyUSB0");
  ASSERT_TRUE(PumpUntil([&] { return Lists(port); }));
  for (int i = 0; i < 2; ++i) {
    Click("Open");
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    Click("Open");
  }
  const std::string log = Log();
  const size_t first = log.find("could not be remembered");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find("could not be remembered", first + 1), std::string::npos) << log;
}

TEST_F(PortPanelTest, ABusyPortNamesTheProgramHoldingIt) {
  const std::string port = Plug("ttyUSB0");
  ASSERT_TRUE(PumpUntil([&] { return Lists(port); }));
  // This process holds the port, as a terminal program would.
  const int held = open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  Click("Open");
  close(held);
  EXPECT_FALSE(window_->session().IsOpen());
  std::ifstream comm("/proc/self/comm");
  std::string name;
  std::getline(comm, name);
  EXPECT_NE(Log().find(" is held by " + name + " (pid " + std::to_string(getpid()) + ")"),
            std::string::npos)
      << Log();
}

TEST_F(PortPanelTest, AnAdapterPluggedBackIsOfferedForReopening) {
  struct Case {
    const char* what;
    const char* byId;
    const char* backAs;
  } cases[] = {
      {"the same by-id link under a new node", "usb-FTDI_FT232R_A50285BI-if00-port0", "ttyUSB1"},
      {"the same node without a by-id link", "", "ttyUSB0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeWindow();
    const std::string port = Plug("ttyUSB0", c.byId);
    ASSERT_TRUE(PumpUntil([&] { return Lists(port); }));
    Choose("SerialPort", port);
    Click("Open");
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    Control* reopen = window_->form().Find("ReopenPort");
    ASSERT_NE(reopen, nullptr);
    EXPECT_FALSE(reopen->IsVisible());

    // Pulled out: the device hangs up, its links go.
    close(ptys_.back().master);
    ptys_.back().master = -1;
    Unplug("ttyUSB0", c.byId);
    ASSERT_TRUE(PumpUntil([&] { return !window_->session().IsOpen(); })) << Log();
    ASSERT_TRUE(PumpUntil([&] { return !Lists(port); }));
    EXPECT_FALSE(reopen->IsVisible());

    const std::string back = Plug(c.backAs, c.byId);
    ASSERT_TRUE(PumpUntil([&] { return reopen->IsVisible(); })) << Log();
    EXPECT_NE(Log().find(back + " is back"), std::string::npos) << Log();
    const char* dir = std::getenv("DTU_SCREENSHOT_DIR");
    if (dir && c.byId[0] != '\0') {
      window_->window()->resize(1100, 680);
      window_->window()->SaveScreenshot(std::string(dir) + "/port-reopen-offered.png");
    }
    EXPECT_EQ(Selected().rfind(back, 0), 0u) << Selected();

    Click("ReopenPort");
    ASSERT_TRUE(window_->session().IsOpen()) << Log();
    EXPECT_EQ(window_->session().PortPath(), back);
    EXPECT_FALSE(reopen->IsVisible());
    Click("Open");
    Unplug(c.backAs, c.byId);
    ASSERT_TRUE(PumpUntil([&] { return !Lists(back); }));
  }
}

}  // namespace
