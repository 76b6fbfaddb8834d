// What the device takes for a parameter, in the user's language, for a message that refuses a
// typed value ("a whole number from 1 to 65535").
#pragma once

#include <string>

#include "catalogue/param_table.h"
#include "domain/value_domain.h"

// The language file's words for the domain's kind, with its bounds filled in; the English
// description when the language file has none.
std::string DomainHint(const ValueDomain& domain);

// The hint for the parameter a row of the catalogue writes; empty when no domain is known.
std::string DomainHintOfRow(const ParamTable& params, const std::string& controlName);
