// The port side of the connection panel: the list "SerialPort" follows the adapters being plugged
// in and out, the last connection is remembered, and a device that went away and came back is
// offered for reopening with one click ("ReopenPort"). UI thread only; the window forwards the
// panel's events to it and keeps opening and closing the port itself.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "serial/port_list.h"
#include "serial/port_watch.h"
#include "texts/form.h"

// Where the serial devices are found and which folders announce a change. The defaults are the
// system's; the tests use a tree of their own.
struct PortSources {
  std::string serialById = "/dev/serial/by-id";
  std::string sysClassTty = "/sys/class/tty";
  std::string devDir = "/dev";
  std::vector<std::string> watched = PortWatch::SystemFolders();
};

class PortPanel {
 public:
  struct Hooks {
    std::function<void(const std::string& text)> log;
    // The path of the port open right now, empty when none.
    std::function<std::string()> openPath;
  };

  PortPanel(Form& form, std::string configPath, Hooks hooks);
  PortPanel(const PortPanel&) = delete;
  PortPanel& operator=(const PortPanel&) = delete;

  // At start: the remembered baud rate and line code, the port list, and the watch.
  void Start(PortSources sources = {});
  // Other folders (the tests' tree): watched from now on, and listed at once.
  void UseSources(PortSources sources);

  // Lists the ports again and selects as ChoosePort says; then offers a lost port that is back.
  void Refresh();
  // A device path named on the command line: listed even when discovery does not find it.
  void Preselect(const std::string& path);
  // "itemselect" of "SerialPort": a choice of the user unless the panel itself is filling it.
  void OnPortSelected();

  // The port opened with these settings: remembered for the next start.
  void OnOpened(const std::string& path, const std::string& baudRate, const std::string& lineCode);
  // The device went away while open.
  void OnConnectionLost(const std::string& path);
  // "ReopenPort" clicked: selects the port that came back and hides the offer. True when there
  // was one; the window then opens the port as "Open" does.
  bool TakeReopen();

  // What the tests look at.
  bool ReopenOffered() const { return !offeredPath_.empty(); }
  const std::vector<PortInfo>& Listed() const { return listed_; }
  const PortWatch* Watch() const { return watch_.get(); }

 private:
  void RestoreLineSettings();
  void Fill(const std::vector<std::string>& paths, int selected);
  // Log lines for the adapters that appeared and the ports that went since the last listing.
  // The listed node a remembered by-id link leads to; any other path as it is.
  std::string ListedPathOf(const std::string& path) const;
  void ReportPlugs();
  // The lost port's path in the current listing (by its by-id link first), or empty.
  std::string FindLostPort() const;
  void Offer(const std::string& path);
  void Withdraw();

  Form& form_;
  const std::string configPath_;
  Hooks hooks_;
  PortSources sources_;
  std::unique_ptr<PortWatch> watch_;
  std::vector<PortInfo> listed_;
  std::vector<std::string> previousPaths_;
  bool firstListing_ = true;
  bool filling_ = false;
  bool filled_ = false;
  bool namedOnPurpose_ = false;
  std::string chosenPath_;
  std::string rememberedPath_;
  // The by-id link of the port opened last, found when it opened: after the device is lost,
  // udev may give it another node name when it comes back.
  std::string openedPath_;
  std::string openedById_;
  std::string lostPath_;
  std::string lostById_;
  std::string offeredPath_;
  bool rememberFailureLogged_ = false;
};
