// The completions of finished jobs that touch the session's tables, the form or files.
//
// The worker runs each of them on the UI thread (inside ExchangeHost::RunOnUiThread) and waits
// for it before it takes the next job, so they see the tables exactly as the user's actions
// left them and keep their order relative to the next job.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "catalogue/param_table.h"
#include "writing/work_job.h"

// A write the device accepted becomes the parameter's stored value: for a list parameter
// (`group` "List") the item `subkey` of list entry `name`, else row `name` of the parameter table.
// A missing row or entry is created; a clock write (no name) thus stores under the empty name.
// Every other row that writes the same command takes the value as well.
void StoreAcceptedValue(ParamTable& params, ListParamTable& lists, const WorkJob& job);

// The longest FINDNETMODE value the device's field holds; a longer one is cut to this length.
inline constexpr size_t kNetModeMaxLength = 39;
// The net mode in the device's answer to "AT+FINDNETMODE": the bytes after "+FINDNETMODE:" up to
// the next "\r\n", cut to kNetModeMaxLength bytes. Nothing for an answer longer than 100 bytes
// or without the marker or its line end.
std::optional<std::string> ExtractNetMode(std::string_view reply);

// Whether a show reply, saved as a configuration file, loads back whole: the file's text passes
// the rule every load follows (JudgeConfigText). Line noise inside the reply (a 0x1A byte ends a
// file's text, a reply pushed past the load's 8192 characters, a garbled label) fails this, and
// such a reply is not saved.
bool ReplyLoadsBack(std::string_view reply);
