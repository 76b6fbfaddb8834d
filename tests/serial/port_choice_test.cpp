// Which port the list selects after a listing: the open one, the user's, a just-plugged adapter,
// the remembered one, the newest adapter.
#include "port_choice.h"

#include <gtest/gtest.h>

namespace {

const PortInfo kBuiltIn{"/dev/ttyS0", "", false, 100, ""};
const PortInfo kOldAdapter{"/dev/ttyUSB0", "FTDI", true, 200, "/dev/serial/by-id/usb-FTDI-if00"};
const PortInfo kNewAdapter{"/dev/ttyUSB1", "CP2102", true, 300, ""};

// The listing's circumstances; `previous` empty means the first listing.
PortChoiceInput Input(std::string open, std::string chosen, std::string remembered,
                      std::vector<std::string> previous = {}, bool chosenExists = false) {
  PortChoiceInput input;
  input.chosenExists = chosenExists;
  input.openPath = std::move(open);
  input.chosenPath = std::move(chosen);
  input.rememberedPath = std::move(remembered);
  input.firstListing = previous.empty();
  input.previousPaths = std::move(previous);
  return input;
}

struct Case {
  const char* what;
  std::vector<PortInfo> ports;
  PortChoiceInput input;
  std::vector<std::string> paths;
  int selected;
};

TEST(ChoosePort, FollowsTheOpenPortTheUserThePlugAndTheMemoryInThisOrder) {
  const std::vector<std::string> all = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"};
  const std::vector<PortInfo> ports = {kOldAdapter, kNewAdapter, kBuiltIn};
  const Case cases[] = {
      {"the newest adapter at start", ports, Input("", "", ""), all, 1},
      {"a built-in port when there is no adapter",
       {kBuiltIn},
       Input("", "", ""),
       {"/dev/ttyS0"},
       0},
      {"nothing to select", {}, Input("", "", ""), {}, -1},
      {"the remembered port at start", ports, Input("", "", "/dev/ttyS0"), all, 2},
      {"a remembered port that is not there", ports, Input("", "", "/dev/ttyACM7"), all, 1},
      {"the user's choice stays when an adapter is plugged", ports,
       Input("", "/dev/ttyS0", "", {"/dev/ttyUSB0", "/dev/ttyS0"}), all, 2},
      {"a plugged adapter is selected when the user chose nothing", ports,
       Input("", "", "/dev/ttyUSB0", {"/dev/ttyUSB0", "/dev/ttyS0"}), all, 1},
      {"the open port stays selected when an adapter is plugged", ports,
       Input("/dev/ttyS0", "", "", {"/dev/ttyUSB0", "/dev/ttyS0"}), all, 2},
      {"the open port stays listed after its adapter went away",
       {kBuiltIn},
       Input("/dev/ttyUSB0", "", "", {"/dev/ttyUSB0"}),
       {"/dev/ttyS0", "/dev/ttyUSB0"},
       1},
      {"an unplugged choice gives way to the ports that are there",
       {kBuiltIn},
       Input("", "/dev/ttyUSB0", "", {"/dev/ttyUSB0", "/dev/ttyS0"}),
       {"/dev/ttyS0"},
       0},
      {"a typed path that discovery does not find stays the choice",
       {kBuiltIn},
       Input("", "/dev/pts/4", "", {"/dev/ttyS0"}, true),
       {"/dev/ttyS0", "/dev/pts/4"},
       1},
      {"a built-in port appearing is no plug",
       {kOldAdapter, kBuiltIn},
       Input("", "", "", {"/dev/ttyUSB0"}),
       {"/dev/ttyUSB0", "/dev/ttyS0"},
       0},
  };
  for (const Case& c : cases) {
    const PortChoice choice = ChoosePort(c.ports, c.input);
    EXPECT_EQ(choice.paths, c.paths) << c.what;
    EXPECT_EQ(choice.selected, c.selected) << c.what;
  }
}

}  // namespace
