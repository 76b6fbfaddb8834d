#include "form/line_state.h"

#include <string_view>

namespace {

// The LoRa and ZigBee pages show only the routes of their module; the bits of the GPRS-to-serial
// routes (4, 8) and the two high bits stay as the device reports them.
constexpr int kModuleRoutesKept = 0xCC;

constexpr std::array<TransmitChannelRow, 3> kTransmitChannelRows{{
    {"EL transmit channel",
     {{{"Lora2COM", 0},
       {"COM2Lora", 1},
       {"Lora2GPRS", 4},
       {"GPRS2Lora", 5},
       {nullptr, 2},
       {nullptr, 3}}},
     kModuleRoutesKept},
    {"EL transmit channel_Z",
     {{{"Zigbee2COM", 0},
       {"COM2Zigbee", 1},
       {"Zigbee2GPRS", 4},
       {"GPRS2Zigbee", 5},
       {nullptr, 2},
       {nullptr, 3}}},
     kModuleRoutesKept},
    // The GPS page shows every route; what it does not show is not kept.
    {"EL transmit channel_G",
     {{{"GPS2COM", 0},
       {"COM2GPS", 1},
       {"GPS2GPRS", 4},
       {"GPRS2GPS", 5},
       {"GPRS2COM", 2},
       {"COM2GPRS", 3}}},
     0},
}};

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

void SetLineState(Form& form, const std::string& name, bool on) {
  Control* arrow = form.Find(name);
  if (!arrow) return;
  const std::string image = arrow->BkImage();
  const std::string changed =
      on ? ReplaceAll(image, "disable", "enable") : ReplaceAll(image, "enable", "disable");
  if (changed != image) arrow->SetBkImage(changed);
}

bool GetLineState(Form& form, const std::string& name) {
  Control* arrow = form.Find(name);
  return arrow && arrow->BkImage().find("enable") != std::string::npos;
}

std::span<const TransmitChannelRow> TransmitChannelRows() {
  return kTransmitChannelRows;
}
