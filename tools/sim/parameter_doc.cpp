#include "parameter_doc.h"

#include "device_models.h"
#include "domain/device_params.h"
#include "domain/sensor_items.h"

namespace {

std::string Code(const std::string& text) {
  return "`" + text + "`";
}

std::string Describe(const ValueDomain& domain) {
  const std::string length = std::to_string(domain.maxLength);
  const std::string empty = domain.mayBeEmpty ? "; may be empty" : "";
  switch (domain.kind) {
    case DomainKind::kItems:
      return "one of the stored values below";
    case DomainKind::kNumber:
      return "decimal integer from " + std::to_string(domain.min) + " to " +
             std::to_string(domain.max) + " (no sign, blank or leading `+`)";
    case DomainKind::kText:
      return "text of at most " + length +
             " bytes of any character set (ASCII, UTF-8, GB 18030), no control bytes" + empty;
    case DomainKind::kHost:
      return "IPv4 address or host name of at most " + length +
             " bytes: labels of letters, digits and inner `-` joined by `.`; digits and dots "
             "alone must be a whole IPv4 address, and a name's last label is never all digits" +
             empty;
    case DomainKind::kIpv4:
      return "dotted IPv4 address, four numbers 0 to 255";
    case DomainKind::kPhone:
      return "phone number of at most " + length + " bytes: digits with an optional leading `+`" +
             empty;
    case DomainKind::kHex:
      return "1 to " + length + " hexadecimal digits";
    case DomainKind::kReadOnly:
      return "reported by the device, refused on write (`ERROR`)";
  }
  return "";
}

}  // namespace

std::string DeviceParametersMarkdown() {
  std::string md;
  md +=
      "# Device parameters\n"
      "\n"
      "What the device accepts and reports for every parameter. The simulator (`dtu-sim`)\n"
      "validates writes against exactly this table, which lives in\n"
      "`src/domain/device_params.cpp` (sensor items: `src/domain/sensor_items.cpp`). This page is\n"
      "generated from it: after changing the table run\n"
      "`dtu-sim --parameters-doc > docs/device-parameters.md` (a test fails while they differ).\n"
      "\n"
      "A write is `AT+NAME=value` followed by CR LF; the device echoes the line and answers\n"
      "`OK` when the value is in the parameter's domain (it is stored and shown from then on),\n"
      "`ERROR` otherwise (the stored value stays). The `AT` of a command may be in any letter\n"
      "case (`At+PROMODE` and `AT+PROMODE` are one command); the name after `+` must match\n"
      "exactly. In the show reply every parameter stands on its own line as its label\n"
      "immediately followed by its value; the first parameter line is `Access Point Name:`.\n"
      "\n"
      "Drop-down lists: the position of an item in its list is the index the form shows, the\n"
      "stored value is what the device keeps and reports. For most lists the two are the same\n"
      "number; some store the item's text, a few store other numbers. Hidden items are accepted\n"
      "and reported but not offered in the list (other rows write them). The meanings are the\n"
      "simulated device's; a form builds its drop-down lists from these tables in this order.\n"
      "\n"
      "## Models\n"
      "\n"
      "| Model | Five DIO | Device Type | LORA ver | Firmware | |\n"
      "|---|---|---|---|---|---|\n";
  for (const DeviceModel& model : DeviceModels()) {
    md += "| " + Code(model.name) + " | " + (model.fiveDio ? "yes" : "no") + " | " +
          Code(model.deviceType) + " | " + Code(model.loraVersion) + " | " + Code(model.firmware) +
          " | " + model.description + " |\n";
  }
  md +=
      "\n"
      "The program offers the LoRa page for a device type containing `-L`, else ZigBee for `-Z`,\n"
      "else GPS for `Zr750`; `V2` after the first character marks the V2 board; `Zr350V3` or\n"
      "`Zr350V4` anywhere in the reply (the firmware line) marks a five-DIO model. The fourth\n"
      "I/O line (`AT+DIO...4`) exists on five-DIO models only; elsewhere its commands are\n"
      "answered `ERROR` and its lines are not shown.\n"
      "\n"
      "## Parameters\n"
      "\n"
      "In the order of the show reply.\n"
      "\n"
      "| AT command | Show label | Domain | Factory value | Models |\n"
      "|---|---|---|---|---|\n";
  for (const DeviceParam& param : DeviceParams()) {
    const std::string factory =
        param.domain->kind == DomainKind::kReadOnly ? "from the model" : Code(param.factoryValue);
    md += "| " + (param.command.empty() ? std::string("(none)") : Code(param.command)) + " | " +
          Code(param.label) + " | " + param.domain->name + " | " + factory + " | " +
          (param.presence == Presence::kAll ? "all" : "five-DIO") + " |\n";
  }
  md += "\n## Domains\n";
  for (const ValueDomain* domain : ValueDomains()) {
    md += "\n### " + std::string(domain->name) + "\n\n" + Describe(*domain) + ".\n";
    if (domain->kind != DomainKind::kItems) continue;
    md += "\n| Index | Stored value | Meaning |\n|---|---|---|\n";
    int index = 0;
    for (const DomainItem& item : domain->items) {
      md += "| " + (item.hidden ? std::string("hidden") : std::to_string(index++)) + " | " +
            Code(item.code) + " | " + item.meaning + " |\n";
    }
  }
  md +=
      "\n## Sensor items\n"
      "\n"
      "`AT+GENSENSORINFO=i,f0,...,f9` writes item i (0 to " +
      std::to_string(kSensorItemCount - 1) +
      "); the show reply reports it as `GENSENSORINFO i:f0,...,f9`. The ten fields are\n"
      "joined by commas without quoting, so a data name may not hold a comma. The fields text\n"
      "may be at most " +
      std::to_string(kSensorItemMaxLength) +
      " bytes (the program keeps no longer item). An item switched off (`0`)\n"
      "may leave its other fields empty; one switched on must fill them all.\n"
      "\n"
      "| Field | Control | Domain |\n|---|---|---|\n";
  int position = 0;
  for (const SensorField& field : SensorFields()) {
    std::string domain = Describe(field.domain);
    if (field.domain.kind == DomainKind::kItems) domain = "`0` off or `1` on";
    md += "| " + std::to_string(position++) + " | " + Code(field.name) + " | " + domain + " |\n";
  }
  return md;
}
