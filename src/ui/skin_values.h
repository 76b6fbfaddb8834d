// Parsing of attribute value texts of the skin files: numbers, booleans, margin quadruples.
// Pure functions over byte strings so that the builder and SetAttribute read values alike.
#pragma once

#include <optional>
#include <string_view>

namespace skin {

struct Margins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// A whole decimal number, blanks around it allowed; nothing for anything else.
std::optional<int> ParseInt(std::string_view text);

// "true"/"false", "1"/"0", "yes"/"no" (any case); nothing for anything else.
std::optional<bool> ParseBool(std::string_view text);

// "l,t,r,b"; a single number applies to all four sides.
std::optional<Margins> ParseMargins(std::string_view text);

// "w,h".
std::optional<std::pair<int, int>> ParseSize(std::string_view text);

}  // namespace skin
