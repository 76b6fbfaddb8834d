// Which port the list "SerialPort" shows selected after the ports were listed again: the one the
// user is working with stays, and otherwise the adapter just plugged in is offered.
#pragma once

#include <string>
#include <vector>

#include "port_list.h"

struct PortChoiceInput {
  // The port open right now; it stays selected (and listed) whatever else happens.
  std::string openPath;
  // The port the user picked or typed in this run, or named on the command line; kept while it
  // is listed.
  std::string chosenPath;
  // Whether the chosen path is still there although discovery does not list it (a typed pty);
  // an unplugged adapter's node is gone.
  bool chosenExists = false;
  // The port of the last connection of an earlier run (config.ini).
  std::string rememberedPath;
  // The ports of the previous listing; a port not among them was just plugged in. Empty at the
  // first listing.
  std::vector<std::string> previousPaths;
  bool firstListing = true;
};

struct PortChoice {
  // The entries to show, in order: the listed ports, then the open port when no longer listed (so
  // the combo never claims that another port is the one open), or a chosen path that exists but
  // is not discovered.
  std::vector<std::string> paths;
  // The entry to select; -1 when there is none.
  int selected = -1;
};

// In order: the open port; the user's choice while listed; an adapter that appeared since the
// previous listing (the newest of them); the remembered port; the newest adapter; the first port.
PortChoice ChoosePort(const std::vector<PortInfo>& ports, const PortChoiceInput& input);
