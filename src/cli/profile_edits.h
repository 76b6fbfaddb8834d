// A configuration text with some of its values replaced: what `set --file`, `apply --set` and
// `apply --per-device` put in place of the file's values before the form reads it.
#pragma once

#include <string>
#include <vector>

#include "writing/work_job.h"

// The text with each write's command holding the write's value (writes checked by
// MakeSetWrite). False with the reason when the text is not a whole configuration or its model
// has no such parameter (a fourth I/O line on a three-DIO model); `edited` is then unchanged.
bool EditConfigText(const std::string& text, const std::vector<WorkJob>& writes,
                    std::string* edited, std::string* why);

// The command stem a write sets ("AT+APN" of "AT+APN=x\r\n").
std::string WrittenCommand(const WorkJob& write);
