#include "app/button_sets.h"

namespace {
// "RefreshPorts" lists the ports again; like the other port settings it is locked while a port
// is open, and so is "NewProfile", which replaces the form. "LoadFromFile" and "SaveProfile" work
// without a device too: they are locked only while a job runs.
const ButtonSet kSets[] = {
    // 0: logged in or out, with the port open
    {{"Save", "Load", "RestoreFactory", "SaveToFile", "SetTime", "GetVer", "READFILELOG", "CPIN",
      "CSQ", "AT+LIST", "AT+FINDNETMODE", "quit"},
     {"Login"},
     true},
    // 1: port closed (disable) / logged in right after opening (enable)
    {{"Save", "Load", "RestoreFactory", "SaveToFile", "SetTime", "Login", "READFILELOG", "CPIN",
      "CSQ", "GetVer", "AT+LIST", "AT+FINDNETMODE", "quit"},
     {"Checkcode", "BaudRate1", "SerialPort", "RefreshPorts", "NewProfile"},
     true},
    // 2: a job runs (disable) / the queue is empty again (enable)
    {{"Save", "Load", "RestoreFactory", "LoadFromFile", "SaveToFile", "SaveProfile", "SetTime",
      "READFILELOG", "CPIN", "CSQ", "GetVer", "AT+LIST", "AT+FINDNETMODE", "quit"},
     {},
     false},
    // 3: port opened
    {{"Login"}, {"Checkcode", "BaudRate1", "SerialPort", "RefreshPorts", "NewProfile"}, false},
};
}  // namespace

const ButtonSet* FindButtonSet(long set) {
  if (set < 0 || set >= static_cast<long>(std::size(kSets))) return nullptr;
  return &kSets[set];
}

ButtonSetSwitch ButtonSetFor(SessionEvent event) {
  switch (event) {
    case SessionEvent::kPortOpened:
      return {kSetOpened, true};
    case SessionEvent::kPortClosed:
      return {kSetPort, false};
    case SessionEvent::kLoggedIn:
      return {kSetLogin, true};
    case SessionEvent::kLoggedOut:
      return {kSetLogin, false};
    case SessionEvent::kBusy:
      return {kSetJob, false};
    case SessionEvent::kIdle:
      return {kSetJob, true};
  }
  return {kSetJob, true};
}
