#include "writing/work_job.h"

WorkJob MakeJob(JobKind kind, std::string_view command) {
  WorkJob job;
  job.kind = kind;
  job.command = std::string(command);
  return job;
}

bool IsBatchWrite(const WorkJob& job) {
  return job.kind == JobKind::kWrite && !job.name.empty();
}

std::string_view CommandBytes(const WorkJob& job) {
  std::string_view bytes = job.command;
  return bytes.substr(0, bytes.find('\0'));
}

WorkJob MakeParamWrite(const std::string& name, const std::string& command,
                       const std::string& value) {
  WorkJob job;
  job.kind = JobKind::kWrite;
  job.command = command + "=" + value + "\r\n";
  job.name = name;
  job.value = value;
  return job;
}

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool HasInnerLineBreak(std::string_view command) {
  if (command.ends_with("\r\n")) command.remove_suffix(2);
  return HoldsLineBreak(command);
}
