// Configuration texts composed rather than read: the device's reply to "AT+SHOW" written from
// values, line for line as the device prints it, so that everything that reads a saved reply
// (show, diff, apply, the window's "Open file") reads a composed one alike. The simulated device
// answers "AT+SHOW" with the same composition.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/param_table.h"
#include "domain/factory_config.h"

// The parameter section as the device sends it: "Firmware version:" with the version, every
// parameter of the model as "LABELvalue" on a line of its own in the device's order, then the
// sensor items the configuration states ("GENSENSORINFO 3:fields"), every line ended by CR LF.
// Neither the echo of the command nor the final "OK".
std::string ComposeShowSection(const ConfigValues& config);

// A whole configuration text as a saved reply holds it: the section, then the device's final
// "OK" line.
std::string ComposeConfigText(const ConfigValues& config);

// The configuration the catalogue's tables hold after a parse (ParseShowReply): each parameter
// from the row that writes its command (the DIO3 rows as `fiveDio` binds them), the device type
// from its row, the items the list states. `firmware` goes into the first line. A parameter no
// row holds (a five-DIO model's third line's ADC type has no control) is taken from `base`, else
// it is the model's factory value; its index is added to `notHeld` when given.
ConfigValues ConfigValuesOf(const ParamTable& params, const ListParamTable& lists, bool fiveDio,
                            std::string firmware, const ConfigValues* base = nullptr,
                            std::vector<size_t>* notHeld = nullptr);

// The version a text states on its "Firmware version:" (or "Software version:") line; empty
// when it has none.
std::string FirmwareOf(std::string_view text);

// The version a text of this model is composed with when the source states none: the profile
// model's.
std::string DefaultFirmware(bool fiveDio);

// A configuration text (accepted by JudgeConfigText) as values. False when the text is not a
// whole configuration.
bool ReadConfigValues(std::string_view text, ConfigValues* config);
