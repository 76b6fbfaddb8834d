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

bool HasInnerLineBreak(std::string_view command) {
  if (command.ends_with("\r\n")) command.remove_suffix(2);
  return command.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}
