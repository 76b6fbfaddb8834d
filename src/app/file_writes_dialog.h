// The question a loaded configuration file asks before it changes the device: the writes it
// would make, each with the device's value and the file's, and three answers. The texts come
// from the language file.
#pragma once

#include <string>
#include <vector>

#include "form_logic/form_controller.h"

class QWidget;

// Shows the writes and waits for the answer; closing the dialog answers "Cancel".
FileWritesChoice AskFileWrites(QWidget* parent, const std::vector<std::string>& lines);
