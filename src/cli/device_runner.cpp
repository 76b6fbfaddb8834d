#include "cli/device_runner.h"

#include <map>

#include "exchange/work_job.h"

namespace {
// A device that neither shows its boot prompt nor answers "+++" within this time is not there.
constexpr int kLoginDeadlineMs = 10000;
// Beyond a job's own time-out: the worker's verdict still has to reach the UI thread.
constexpr int kJobMarginMs = 2000;
constexpr std::string_view kQuitCommand = "at+quit\r\n";
constexpr std::string_view kListGroup = "List";

// The firmware line the device prints before its parameters ("Firmware version:..." or
// "Software Version:..."), or empty.
std::string FirmwareLine(const std::string& reply) {
  const size_t apn = reply.find("Access Point Name:");
  const size_t end = apn == std::string::npos ? reply.size() : apn;
  for (const char* label : {"ersion:", "ERSION:"}) {
    const size_t at = reply.find(label);
    if (at == std::string::npos || at >= end) continue;
    const size_t start = at + std::string_view(label).size();
    const size_t stop = reply.find_first_of("\r\n", start);
    return reply.substr(start, (stop == std::string::npos ? reply.size() : stop) - start);
  }
  return {};
}

std::string WriteKey(const WorkJob& job) {
  return job.group == kListGroup ? job.name + "\n" + job.subkey : job.name;
}

}  // namespace

const char* PhaseName(RunPhase phase) {
  switch (phase) {
    case RunPhase::kLogin:
      return "login";
    case RunPhase::kRead:
      return "read";
    case RunPhase::kWrite:
      return "write";
    case RunPhase::kVerify:
      return "verify";
    case RunPhase::kQuit:
      return "quit";
    case RunPhase::kDone:
      return "done";
  }
  return "?";
}

const char* VerdictName(WriteVerdict verdict) {
  switch (verdict) {
    case WriteVerdict::kPending:
      return "pending";
    case WriteVerdict::kWouldWrite:
      return "would write";
    case WriteVerdict::kAccepted:
      return "accepted";
    case WriteVerdict::kRefused:
      return "refused";
    case WriteVerdict::kTimedOut:
      return "timed out";
    case WriteVerdict::kNoVerdict:
      return "no verdict";
    case WriteVerdict::kNotSent:
      return "not sent";
  }
  return "?";
}

DeviceRunner::DeviceRunner(std::string port, const RunPlan& plan)
    : port_(std::move(port)), plan_(plan), session_(std::make_unique<DeviceSession>(*this)) {
  report_.port = port_;
}

DeviceRunner::~DeviceRunner() = default;

void DeviceRunner::Start() {
  phaseClock_.start();
  if (plan_.prepare) plan_.prepare(*session_);
  if (!session_->StartWorker()) return Fail("cannot start the worker thread");
  const OpenResult opened = session_->Open(port_, plan_.settings, LoginStart::kProbe);
  if (!opened.ok()) return Fail(DescribeOpenFailure(opened, port_));
  deadlineClock_.start();
  deadlineMs_ = kLoginDeadlineMs;
}

std::string DeviceRunner::Where() const {
  return "the device at " + port_;
}

void DeviceRunner::Enter(RunPhase phase) {
  report_.phases.push_back({phase_, static_cast<double>(phaseClock_.nsecsElapsed()) / 1e6});
  phaseClock_.start();
  phase_ = phase;
}

bool DeviceRunner::QueueShow() {
  showEnded_ = false;
  showParsed_ = false;
  // The leading line break ends whatever half line the device may still hold.
  if (session_->Queue(MakeJob(kJobShow, kFileShowCommand)) == EnqueueResult::kRefused) {
    Fail("the read could not be queued");
    return false;
  }
  deadlineClock_.start();
  deadlineMs_ = JobTimeoutMs(kJobShow, session_->TimeoutFactor()) + kJobMarginMs;
  return true;
}

void DeviceRunner::Step() {
  if (phase_ == RunPhase::kDone) return;
  if (lost_ || (!session_->IsOpen() && phase_ != RunPhase::kDone)) {
    return Fail(Where() + " went away during the " + PhaseName(phase_));
  }
  const bool late = deadlineClock_.isValid() && deadlineClock_.elapsed() > deadlineMs_;
  switch (phase_) {
    case RunPhase::kLogin:
      if (session_->LoggedIn()) {
        Enter(RunPhase::kRead);
        QueueShow();
      } else if (escapeRefused_) {
        Fail("login: " + Where() + " answered \"+++\" with ERROR");
      } else if (late) {
        Fail("login: " + Where() +
             " answered neither its boot prompt nor \"+++\" with its setting mode");
      }
      return;
    case RunPhase::kRead:
      if (showEnded_) return AfterRead();
      if (late) Fail(Where() + " did not answer the read");
      return;
    case RunPhase::kWrite:
      for (const WriteRecord& write : report_.writes) {
        if (write.verdict == WriteVerdict::kTimedOut) {
          return Fail("time-out: " + Where() + " did not answer " +
                      write.job.command.substr(0, write.job.command.find('=')));
        }
      }
      if (writesFinished_ >= report_.writes.size()) {
        if (!plan_.verify) return StartQuit();
        Enter(RunPhase::kVerify);
        QueueShow();
      } else if (late) {
        Fail(Where() + " stopped answering the writes");
      }
      return;
    case RunPhase::kVerify:
      if (showEnded_) return AfterVerify();
      if (late) Fail(Where() + " did not answer the verifying read");
      return;
    case RunPhase::kQuit:
      if (quitEnded_ || late) Finish();
      return;
    case RunPhase::kDone:
      return;
  }
}

void DeviceRunner::AfterRead() {
  if (showOutcome_ == JobOutcome::kTimedOut) {
    return Fail("time-out: " + Where() + " did not send its configuration within " +
                std::to_string(JobTimeoutMs(kJobShow, session_->TimeoutFactor()) / 1000) + " s");
  }
  if (showOutcome_ == JobOutcome::kFailed) return Fail(Where() + " refused AT+SHOW");
  const size_t rows = session_->Params().size();
  if (!showParsed_) return Fail("the reply to AT+SHOW holds no configuration");
  if (showResult_.labelsFound < rows) {
    return Fail("the reply to AT+SHOW is garbled or incomplete: " +
                std::to_string(rows - showResult_.labelsFound) + " of " + std::to_string(rows) +
                " parameters are missing");
  }
  firstReply_ = lastReply_;
  report_.version = FirmwareLine(firstReply_);
  if (auto it = session_->Params().find("Device Type"); it != session_->Params().end())
    report_.deviceType = it->second.value;
  if (plan_.onRead) {
    if (const std::string why = plan_.onRead(firstReply_); !why.empty()) return Fail(why);
  }
  if (!plan_.compose) return StartQuit();
  if (plan_.beforeCompose) {
    if (const std::string why = plan_.beforeCompose(*session_, firstReply_); !why.empty())
      return Fail(why);
  }
  ComposedWrites composed = plan_.compose(*session_);
  report_.refused = std::move(composed.refused);
  // A batch without one of its values is not the configuration asked for: nothing is sent.
  if (!report_.refused.empty()) {
    return Fail(std::to_string(report_.refused.size()) +
                " values cannot be sent (a line break, a comma in a sensor field, or longer "
                "than the device's field); nothing was sent");
  }
  for (WorkJob& job : composed.writes) {
    WriteRecord record;
    record.job = std::move(job);
    record.verdict = plan_.dryRun ? WriteVerdict::kWouldWrite : WriteVerdict::kPending;
    report_.writes.push_back(std::move(record));
  }
  if (plan_.dryRun || report_.writes.empty()) return StartQuit();
  Enter(RunPhase::kWrite);
  writesFinished_ = 0;
  for (WriteRecord& write : report_.writes) {
    if (session_->Queue(write.job) == EnqueueResult::kRefused) {
      return Fail("a write could not be queued: " + write.job.name);
    }
  }
  deadlineClock_.start();
  deadlineMs_ =
      static_cast<int>(report_.writes.size()) * JobTimeoutMs(kJobWrite, session_->TimeoutFactor()) +
      kJobMarginMs;
}

void DeviceRunner::AfterVerify() {
  if (showOutcome_ != JobOutcome::kCompleted || !showParsed_ ||
      showResult_.labelsFound < session_->Params().size()) {
    return Fail(Where() + " gave no whole configuration for the verifying read");
  }
  report_.verifyRan = true;
  // A row written twice in one batch holds the last value sent.
  std::map<std::string, size_t> last;
  for (size_t i = 0; i < report_.writes.size(); ++i) {
    if (report_.writes[i].verdict == WriteVerdict::kAccepted)
      last[WriteKey(report_.writes[i].job)] = i;
  }
  for (const auto& [key, index] : last) {
    WriteRecord& write = report_.writes[index];
    std::string reported;
    if (write.job.group == kListGroup) {
      const ListParamTable& lists = session_->ListParams();
      if (auto list = lists.find(write.job.name); list != lists.end()) {
        if (auto item = list->second.items.find(write.job.subkey); item != list->second.items.end())
          reported = item->second;
      }
    } else if (auto row = session_->Params().find(write.job.name);
               row != session_->Params().end()) {
      reported = row->second.value;
    }
    write.verified = reported == write.job.value;
    if (!write.verified) {
      write.reported = reported;
      ++report_.mismatches;
    }
  }
  // Earlier writes of a row written again count as verified by the last one.
  for (size_t i = 0; i < report_.writes.size(); ++i) {
    WriteRecord& write = report_.writes[i];
    if (write.verdict == WriteVerdict::kAccepted && last[WriteKey(write.job)] != i)
      write.verified = true;
  }
  StartQuit();
}

void DeviceRunner::StartQuit() {
  if (!plan_.quit) return Finish();
  Enter(RunPhase::kQuit);
  quitEnded_ = false;
  session_->Queue(MakeJob(kJobQuitSetting, kQuitCommand));
  deadlineClock_.start();
  deadlineMs_ = JobTimeoutMs(kJobQuitSetting, session_->TimeoutFactor()) + kJobMarginMs;
}

void DeviceRunner::Finish() {
  Enter(RunPhase::kDone);
  session_->Close();
  size_t refused = 0;
  for (const WriteRecord& write : report_.writes)
    refused += write.verdict == WriteVerdict::kRefused ? 1 : 0;
  if (refused > 0) {
    report_.failure = Where() + " refused " + std::to_string(refused) + " of " +
                      std::to_string(report_.writes.size()) + " writes";
  } else if (report_.mismatches > 0) {
    report_.failure = std::to_string(report_.mismatches) +
                      " written values are not what the device reports afterwards";
  } else if (!report_.refused.empty()) {
    report_.failure = std::to_string(report_.refused.size()) +
                      " values of the file cannot be sent (a line break, or a comma in a "
                      "sensor field)";
  }
  report_.ok = report_.failure.empty();
}

void DeviceRunner::Fail(const std::string& why) {
  if (phase_ == RunPhase::kDone) return;
  report_.failure = why;
  report_.ok = false;
  // The worker sends one write at a time, in order: the first one without a verdict may have
  // reached the device.
  bool first = phase_ == RunPhase::kWrite;
  for (WriteRecord& write : report_.writes) {
    if (write.verdict != WriteVerdict::kPending) continue;
    write.verdict = first ? WriteVerdict::kNoVerdict : WriteVerdict::kNotSent;
    first = false;
  }
  Enter(RunPhase::kDone);
  session_->Close();
}

void DeviceRunner::Interrupt() {
  Fail("interrupted during the " + std::string(PhaseName(phase_)) + "; nothing more was sent");
}

void DeviceRunner::OnSessionLog(const std::string& /*text*/) {}

void DeviceRunner::OnButtonSet(int /*set*/, bool /*enable*/) {}

void DeviceRunner::OnEscapeRefused() {
  escapeRefused_ = true;
}

void DeviceRunner::OnShowParsed(const std::string& reply, const ShowReplyResult& result) {
  showParsed_ = true;
  showResult_ = result;
  lastReply_ = reply;
}

void DeviceRunner::OnJobStarted(const WorkJob& job) {
  if (job.kind == kJobShow && phase_ == RunPhase::kRead) readUnderWay_ = true;
}

void DeviceRunner::OnJobFinished(const WorkJob& job, JobOutcome outcome) {
  switch (job.kind) {
    case kJobShow:
      showEnded_ = true;
      showOutcome_ = outcome;
      return;
    case kJobWrite:
      if (phase_ != RunPhase::kWrite || writesFinished_ >= report_.writes.size()) return;
      report_.writes[writesFinished_++].verdict =
          outcome == JobOutcome::kCompleted ? WriteVerdict::kAccepted
          : outcome == JobOutcome::kFailed  ? WriteVerdict::kRefused
                                            : WriteVerdict::kTimedOut;
      return;
    case kJobQuitSetting:
      quitEnded_ = true;
      return;
    default:
      return;
  }
}

void DeviceRunner::OnConnectionLost(const std::string& /*path*/, int /*error*/) {
  lost_ = true;
}

void DeviceRunner::OnMessageBox(const std::string& /*text*/) {}
