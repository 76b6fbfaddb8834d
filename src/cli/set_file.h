// "dtu-config set --file FILE NAME=VALUE ...": edits a configuration file in place. The names
// and values are checked as `set` checks them on a device; the edited configuration goes through
// the form the headless apply uses (its visibility rules run), and the file is replaced only
// when the form's configuration holds every value asked for.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// 0 when the file holds the values now; 1 when it cannot be read, is not a whole configuration,
// or cannot be written; 2 when a name or value is refused (the file is unchanged then).
int RunSetOnFile(const std::string& command, const std::string& path,
                 const std::vector<std::string>& assignments, std::ostream& out, std::ostream& err);
