// The device side of the window: the port list (PortPanel), "Open" opening and closing the
// connection, the command buttons usable in each connection state, the device-state area with
// the last batch's line, and a device that goes away while connected. UI thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/port_panel.h"
#include "exchange/exchange_host.h"
#include "session/batch_progress.h"
#include "texts/form.h"

class DeviceSession;
class FocusParking;
class QLabel;

class DevicePanel {
 public:
  struct Hooks {
    std::function<void(const std::string& text, LogKind kind)> log;
    // The connection state shown may have changed (`loggedIn` as the buttons now say).
    std::function<void(bool loggedIn)> stateChanged;
    // A port opened with these settings.
    std::function<void(const std::string& path, const std::string& baud, const std::string& code)>
        connected;
  };

  DevicePanel(Form& form, DeviceSession& session, std::string configPath, Hooks hooks);
  ~DevicePanel();
  DevicePanel(const DevicePanel&) = delete;
  DevicePanel& operator=(const DevicePanel&) = delete;

  // The batch line under the device state and the port list's start.
  void Install();

  // "Open": opens the chosen port when closed, closes it when open.
  void ToggleConnection();
  // "ReopenPort": the port that came back is opened as "Open" would.
  void Reopen();
  // "RefreshPorts": lists the ports again and says what it found.
  void RefreshPorts();
  void ConnectionLost(const std::string& path);

  // Enables (or disables) one of the button sets of button_sets.h.
  void SetButtons(bool enable, long set);
  // "DeviceState" says logged in or not.
  void SetDeviceState(bool loggedIn);
  // The device-state area's look: configuring, waiting for the device, or closed.
  void ShowLook(bool loggedIn);

  void ShowBatchProgress(const BatchProgress& batch);
  void ShowBatchEnded(const std::string& summary, bool clean);
  // The last batch's line belongs to the login it was written in.
  void ClearBatchResult();

  PortPanel& ports() { return ports_; }

 private:
  void Log(const std::string& text, LogKind kind = LogKind::kProgram);
  void SetControlEnabled(const std::string& name, bool enabled);
  void SetOpenText(const char* key);

  Form& form_;
  DeviceSession& session_;
  Hooks hooks_;
  PortPanel ports_;
  std::unique_ptr<FocusParking> focusParking_;
  QLabel* batchResult_ = nullptr;
};
