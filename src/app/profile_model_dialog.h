// The question "New profile…" asks: which model the profile is for, from the profile models
// (three or five I/O lines, the radio modules). The texts come from the language file.
#pragma once

#include <optional>
#include <string>

class QWidget;

// Shows the models and waits; the chosen model's name, or nullopt when cancelled.
std::optional<std::string> AskProfileModel(QWidget* parent);
