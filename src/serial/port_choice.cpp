#include "port_choice.h"

#include <algorithm>

namespace {

int IndexOf(const std::vector<std::string>& paths, const std::string& path) {
  if (path.empty()) return -1;
  const auto found = std::find(paths.begin(), paths.end(), path);
  return found == paths.end() ? -1 : static_cast<int>(found - paths.begin());
}

// The most recently plugged adapter among `ports` that `pick` accepts; -1 when none.
template <typename Pick>
int Newest(const std::vector<PortInfo>& ports, Pick pick) {
  int best = -1;
  for (size_t i = 0; i < ports.size(); ++i) {
    if (!ports[i].usb || !pick(ports[i])) continue;
    if (best < 0 || ports[i].pluggedAt > ports[static_cast<size_t>(best)].pluggedAt)
      best = static_cast<int>(i);
  }
  return best;
}

}  // namespace

PortChoice ChoosePort(const std::vector<PortInfo>& ports, const PortChoiceInput& input) {
  PortChoice choice;
  for (const PortInfo& port : ports) choice.paths.push_back(port.path);

  if (!input.openPath.empty()) {
    if (IndexOf(choice.paths, input.openPath) < 0) choice.paths.push_back(input.openPath);
    choice.selected = IndexOf(choice.paths, input.openPath);
    return choice;
  }
  if (const int chosen = IndexOf(choice.paths, input.chosenPath); chosen >= 0) {
    choice.selected = chosen;
    return choice;
  }
  if (!input.firstListing) {
    const int plugged = Newest(
        ports, [&](const PortInfo& port) { return IndexOf(input.previousPaths, port.path) < 0; });
    if (plugged >= 0) {
      choice.selected = plugged;
      return choice;
    }
  }
  if (const int remembered = IndexOf(choice.paths, input.rememberedPath); remembered >= 0) {
    choice.selected = remembered;
    return choice;
  }
  // A path the user typed (or named on the command line) that discovery does not find, such as
  // a pty, stays the choice. An unplugged adapter's is gone, and another port is offered.
  if (!input.chosenPath.empty() && input.chosenExists) {
    choice.paths.push_back(input.chosenPath);
    choice.selected = static_cast<int>(choice.paths.size()) - 1;
    return choice;
  }
  const int newest = Newest(ports, [](const PortInfo&) { return true; });
  choice.selected = newest >= 0 ? newest : (choice.paths.empty() ? -1 : 0);
  return choice;
}
