// The serial devices present, for the port list "SerialPort".
#pragma once

#include <string>
#include <vector>

struct PortInfo {
  std::string path;         // the device node, e.g. "/dev/ttyUSB0"
  std::string description;  // the adapter's maker and product where known, else empty
  // A plugged adapter (USB, with a by-id link or a USB device behind it), not a built-in UART.
  bool usb = false;
  // When its device node appeared (nanoseconds since the epoch): the newest adapter is the one
  // just plugged in. 0 when unknown.
  long long pluggedAt = 0;
  // The stable name udev gives the adapter ("/dev/serial/by-id/usb-FTDI_..."), else empty. It
  // survives unplugging and plugging back where "/dev/ttyUSB0" may become "/dev/ttyUSB1".
  std::string byId;
};

// Real serial devices only: every tty under `sysClassTty` that belongs to a device (virtual
// consoles and ptys have none), without the kernel's legacy ttyS entries that have no UART behind
// them, plus every device `serialById` links to. Paths are `devDir`/name. Plugged adapters come
// first, built-in ports (ttyS) after them; within each, sorted by kind, then by number
// ("/dev/ttyUSB2" before "/dev/ttyUSB10"). The parameters exist for tests.
std::vector<PortInfo> ListSerialPorts(const std::string& serialById = "/dev/serial/by-id",
                                      const std::string& sysClassTty = "/sys/class/tty",
                                      const std::string& devDir = "/dev");

// "/dev/ttyUSB0 — FTDI FT232R USB UART", or the path alone without a description.
std::string PortDisplayText(const PortInfo& port);

// The device path in a list entry or in what the user typed: the text before " — ", without
// surrounding blanks; a bare name such as "ttyUSB0" is taken as "/dev/ttyUSB0". Empty for blanks.
std::string PortPathFromDisplayText(const std::string& text);
