// The channel-routing arrows ("Line" controls) and the routing masks they show.
//
// An arrow carries its on/off state in the name of its background image: the word "enable" in the
// on look, "disable" in the off look. Reading the form back into a routing mask relies on nothing
// else, so whatever draws the arrows must keep that word in the image name.
#pragma once

#include <array>
#include <span>
#include <string>

#include "texts/form.h"

// Swaps every "disable" for "enable" (on) or every "enable" for "disable" (off) in the image name
// of the control `name`. A missing control, or an image name holding neither word, is left alone.
void SetLineState(Form& form, const std::string& name, bool on);

// True when the control `name` exists and its image name holds "enable".
bool GetLineState(Form& form, const std::string& name);

// One arrow of a routing mask: the bit it stands for.
struct ChannelArrow {
  const char* name;  // nullptr: the row has no arrow for this bit
  int bit;
};

// A catalogue row of kind "Line" that holds a routing mask ("EL transmit channel" and its ZigBee
// and GPS twins, which the device keeps as one value).
struct TransmitChannelRow {
  const char* rowName;
  // In the order the arrows are switched when values are applied.
  std::array<ChannelArrow, 6> arrows;
  // Bits of the device's mask that no arrow of this row shows; a write keeps them as they are.
  int keptBits;
};

std::span<const TransmitChannelRow> TransmitChannelRows();
