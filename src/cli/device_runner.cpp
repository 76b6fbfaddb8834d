#include "cli/device_runner.h"

#include <algorithm>
#include <map>

#include "exchange/job_kinds.h"
#include "writing/work_job.h"

namespace {
// A device that neither shows its boot prompt nor answers "+++" within this time is not there.
constexpr int kLoginDeadlineMs = 10000;
// Beyond a job's own time-out: the worker's verdict still has to reach the UI thread.
constexpr int kJobMarginMs = 2000;
// Leaving after a failure: a job still under way (a read of a silent device) is given up on
// after this long, so that "at+quit" goes out.
constexpr int kLeaveGraceMs = 2000;
// After a signal the user is waiting: the job under way gets a second, "at+quit" the rest.
constexpr int kInterruptGraceMs = 1000;
constexpr int kInterruptLeaveMs = 3500;
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
    case RunPhase::kRestart:
      return "restart";
    case RunPhase::kQuit:
      return "quit";
    case RunPhase::kDone:
      return "done";
  }
  return "?";
}

const char* LeaveName(LeaveNote note) {
  switch (note) {
    case LeaveNote::kNotLoggedIn:
      return "not logged in";
    case LeaveNote::kQuitAccepted:
      return "accepted";
    case LeaveNote::kQuitRefused:
      return "refused";
    case LeaveNote::kQuitUnanswered:
      return "unanswered";
    case LeaveNote::kStayed:
      return "stay";
    case LeaveNote::kGone:
      return "gone";
    case LeaveNote::kLeftByItself:
      return "left by itself";
  }
  return "?";
}

std::string LeaveText(LeaveNote note) {
  switch (note) {
    case LeaveNote::kQuitAccepted:
      return "sent back to its data mode (at+quit)";
    case LeaveNote::kQuitRefused:
      return "it refused at+quit and may still be in its setting mode";
    case LeaveNote::kQuitUnanswered:
      return "at+quit got no answer: it may still be in its setting mode";
    case LeaveNote::kStayed:
      return "left in its setting mode (--stay)";
    case LeaveNote::kLeftByItself:
      return "it left its setting mode by itself";
    case LeaveNote::kNotLoggedIn:
    case LeaveNote::kGone:
      break;
  }
  return {};
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
  if (plan_.fromCsv) report_.fromCsv = plan_.fromCsv(port_);
  if (plan_.traffic)
    traffic_ = std::make_unique<TrafficLog>(*plan_.traffic, port_, plan_.showSecrets);
}

DeviceRunner::~DeviceRunner() = default;

void DeviceRunner::Start() {
  phaseClock_.start();
  if (plan_.prepare) plan_.prepare(*session_);
  session_->Backup().Configure(plan_.backup);
  if (!session_->StartWorker()) return Fail("cannot start the worker thread");
  const OpenResult opened = session_->Open(port_, plan_.settings, LoginStart::kProbe);
  if (!opened.ok()) return Fail(DescribeOpenFailure(opened, port_));
  deadlineClock_.start();
  deadlineMs_ = kLoginDeadlineMs;
}

std::string DeviceRunner::Where() const {
  return "the device at " + port_;
}

std::string DeviceRunner::NotSentTail() const {
  size_t notSent = 0;
  // Writes still waiting in the queue when the device failed are dropped with it.
  for (const WriteRecord& write : report_.writes) {
    notSent += write.verdict == WriteVerdict::kNotSent ||
                       (write.verdict == WriteVerdict::kPending && !write.started)
                   ? 1
                   : 0;
  }
  if (notSent == 0) return {};
  return "; " + std::to_string(notSent) + (notSent == 1 ? " write" : " writes") + " not sent";
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
  if (session_->Queue(MakeJob(JobKind::kShow, kFileShowCommand)) == EnqueueResult::kRefused) {
    Fail("the read could not be queued");
    return false;
  }
  deadlineClock_.start();
  deadlineMs_ = JobTimeoutMs(JobKind::kShow, session_->TimeoutFactor()) + kJobMarginMs;
  return true;
}

void DeviceRunner::Step() {
  if (phase_ == RunPhase::kDone) return;
  if (lost_ || !session_->IsOpen()) {
    if (loggedInOnce_) report_.leave = LeaveNote::kGone;
    if (phase_ == RunPhase::kQuit || phase_ == RunPhase::kRestart) return Finish();
    return Fail(Where() + " went away during the " + PhaseName(phase_));
  }
  const bool late = deadlineClock_.isValid() && deadlineClock_.elapsed() > deadlineMs_;
  const bool working =
      phase_ == RunPhase::kRead || phase_ == RunPhase::kWrite || phase_ == RunPhase::kVerify;
  // Out of its setting mode in the middle of the work: nothing more is sent but what brings it
  // back to its data mode.
  if (working && !session_->LoggedIn()) {
    if (report_.restarted)
      return Fail(Where() + " restarted during the " + PhaseName(phase_) + NotSentTail());
    return Fail(Where() + " left its setting mode during the " + PhaseName(phase_) + NotSentTail());
  }
  switch (phase_) {
    case RunPhase::kLogin:
      if (session_->LoggedIn()) {
        loggedInOnce_ = true;
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
      if (writesFinished_ >= report_.writes.size()) return AfterWrites();
      if (late) Fail(Where() + " stopped answering the writes" + NotSentTail());
      return;
    case RunPhase::kVerify:
      if (showEnded_) return AfterVerify();
      if (late) Fail(Where() + " did not answer the verifying read");
      return;
    case RunPhase::kRestart:
      // The login answers the booting device's prompt; once it is in its setting mode again it
      // can be sent back. One that boots past its prompt is in its data mode already.
      if (session_->LoggedIn()) return StartQuit();
      if (late) {
        report_.leave = LeaveNote::kLeftByItself;
        Finish();
      }
      return;
    case RunPhase::kQuit:
      return StepQuit(late);
    case RunPhase::kDone:
      return;
  }
}

std::string DeviceRunner::ShowFailure(const char* what) const {
  switch (showOutcome_) {
    case JobOutcome::kCompleted:
      return {};
    case JobOutcome::kTimedOut:
      return "time-out: " + Where() + " did not send its configuration within " +
             std::to_string(JobTimeoutMs(JobKind::kShow, session_->TimeoutFactor()) / 1000) + " s";
    case JobOutcome::kRestarted:
      return Where() + " restarted during the " + what;
    case JobOutcome::kFailed:
      break;
  }
  return Where() + " refused AT+SHOW";
}

void DeviceRunner::AfterRead() {
  if (const std::string why = ShowFailure("read"); !why.empty()) return Fail(why);
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
    if (!job.subkey.empty()) {
      if (auto list = session_->ListParams().find(job.name); list != session_->ListParams().end()) {
        if (auto item = list->second.items.find(job.subkey); item != list->second.items.end())
          record.before = item->second;
      }
    } else if (auto row = session_->Params().find(job.name); row != session_->Params().end()) {
      record.label = ShownLabel(row->second.label);
      record.before = row->second.value;
    }
    record.job = std::move(job);
    record.verdict = plan_.dryRun ? WriteVerdict::kWouldWrite : WriteVerdict::kPending;
    report_.writes.push_back(std::move(record));
  }
  if (plan_.dryRun || report_.writes.empty()) return StartQuit();
  // The session holds the first read as the configuration to keep: no write without it.
  const BackupStep backup = session_->Backup().BeforeWrites(report_.writes.size());
  report_.backup = backup.path;
  if (!backup.proceed) {
    report_.failure = BackupRefusalText(backup);
    for (WriteRecord& write : report_.writes) write.verdict = WriteVerdict::kNotSent;
    return StartQuit();
  }
  Enter(RunPhase::kWrite);
  writesFinished_ = 0;
  for (WriteRecord& write : report_.writes) {
    if (session_->Queue(write.job) == EnqueueResult::kRefused) {
      return Fail("a write could not be queued: " + write.job.name);
    }
  }
  deadlineClock_.start();
  deadlineMs_ = static_cast<int>(report_.writes.size()) *
                    JobTimeoutMs(JobKind::kWrite, session_->TimeoutFactor()) +
                kJobMarginMs;
}

void DeviceRunner::AfterWrites() {
  // Every write has its verdict; the worker sent none after the first one that was not accepted.
  for (const WriteRecord& write : report_.writes) {
    const std::string command = write.job.command.substr(0, write.job.command.find('='));
    switch (write.verdict) {
      case WriteVerdict::kTimedOut:
        // A silent device would cost the verifying read its full time-out as well.
        return Fail("time-out: " + Where() + " did not answer " + command + NotSentTail());
      case WriteVerdict::kNoVerdict:
        return Fail(Where() + " restarted during the write of " + command + NotSentTail());
      default:
        break;
    }
  }
  // A refused write leaves a device that still answers: what it took is verified, and the
  // failure is given when the device is done.
  if (!plan_.verify) return StartQuit();
  Enter(RunPhase::kVerify);
  QueueShow();
}

void DeviceRunner::AfterVerify() {
  if (showOutcome_ != JobOutcome::kCompleted || !showParsed_ ||
      showResult_.labelsFound < session_->Params().size()) {
    if (showOutcome_ == JobOutcome::kRestarted) return Fail(ShowFailure("verifying read"));
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

void DeviceRunner::Leave() {
  if (phase_ == RunPhase::kDone) return;
  if (!loggedInOnce_) return Finish();
  if (lost_ || !session_->IsOpen()) {
    report_.leave = LeaveNote::kGone;
    return Finish();
  }
  // Nothing queued is sent any more; the job under way may still end.
  session_->DropQueuedJobs();
  if (!plan_.quit) {
    report_.leave = LeaveNote::kStayed;
    return Finish();
  }
  if (!session_->LoggedIn()) {
    if (!report_.restarted) {
      // It timed its setting mode out: "at+quit" would go out as data now.
      report_.leave = LeaveNote::kLeftByItself;
      return Finish();
    }
    Enter(RunPhase::kRestart);
    deadlineClock_.start();
    deadlineMs_ = interrupted_ ? kInterruptLeaveMs : kLoginDeadlineMs;
    return;
  }
  StartQuit();
}

void DeviceRunner::StartQuit() {
  if (!plan_.quit) {
    report_.leave = LeaveNote::kStayed;
    return Finish();
  }
  Enter(RunPhase::kQuit);
  quitStarted_ = false;
  quitEnded_ = false;
  if (session_->QuitSettingMode() == EnqueueResult::kRefused) {
    report_.leave = LeaveNote::kQuitUnanswered;
    return Finish();
  }
  graceMs_ = interrupted_ ? kInterruptGraceMs : kLeaveGraceMs;
  deadlineClock_.start();
  deadlineMs_ = interrupted_
                    ? kInterruptLeaveMs
                    : graceMs_ + JobTimeoutMs(JobKind::kQuitSetting, session_->TimeoutFactor()) +
                          kJobMarginMs;
}

void DeviceRunner::StepQuit(bool late) {
  if (quitEnded_) {
    report_.leave = quitOutcome_ == JobOutcome::kCompleted ? LeaveNote::kQuitAccepted
                    : quitOutcome_ == JobOutcome::kFailed  ? LeaveNote::kQuitRefused
                                                           : LeaveNote::kQuitUnanswered;
    return Finish();
  }
  if (late) {
    report_.leave = LeaveNote::kQuitUnanswered;
    return Finish();
  }
  // The job ahead of the quit takes too long (a read of a silent device): it is given up on.
  if (!quitStarted_ && deadlineClock_.elapsed() > graceMs_) session_->AbandonRunningJob();
}

void DeviceRunner::Finish() {
  Enter(RunPhase::kDone);
  session_->Close();
  for (WriteRecord& write : report_.writes) {
    if (write.verdict == WriteVerdict::kPending)
      write.verdict = write.started ? WriteVerdict::kNoVerdict : WriteVerdict::kNotSent;
  }
  if (report_.failure.empty()) {
    std::string refusedCommands;
    size_t refused = 0;
    for (const WriteRecord& write : report_.writes) {
      if (write.verdict != WriteVerdict::kRefused) continue;
      ++refused;
      refusedCommands += (refusedCommands.empty() ? "" : ", ") +
                         write.job.command.substr(0, write.job.command.find('='));
    }
    if (refused > 0) {
      report_.failure = Where() + " refused " + std::to_string(refused) + " of " +
                        std::to_string(report_.writes.size()) + " writes (" + refusedCommands +
                        ")" + NotSentTail();
    } else if (report_.mismatches > 0) {
      report_.failure = std::to_string(report_.mismatches) +
                        " written values are not what the device reports afterwards";
    }
  }
  report_.ok = report_.failure.empty();
}

void DeviceRunner::Fail(const std::string& why) {
  if (phase_ == RunPhase::kDone) return;
  if (report_.failure.empty()) report_.failure = why;
  report_.ok = false;
  if (phase_ == RunPhase::kQuit || phase_ == RunPhase::kRestart) return;
  Leave();
}

void DeviceRunner::Interrupt() {
  if (phase_ == RunPhase::kDone) return;
  interrupted_ = true;
  if (report_.failure.empty()) {
    report_.failure = "interrupted during the " + std::string(PhaseName(phase_)) +
                      "; nothing more was sent" + (plan_.quit ? " but at+quit" : "");
  }
  report_.ok = false;
  if (phase_ == RunPhase::kQuit || phase_ == RunPhase::kRestart) {
    // Already leaving: only quicker now.
    session_->DropQueuedJobs();
    graceMs_ = std::min(graceMs_, kInterruptGraceMs);
    deadlineMs_ =
        std::min<int>(deadlineMs_, static_cast<int>(deadlineClock_.elapsed()) + kInterruptLeaveMs);
    return;
  }
  Leave();
}

void DeviceRunner::OnSessionLog(const std::string& /*text*/) {}

void DeviceRunner::OnSessionLogOfKind(const std::string& text, LogKind kind) {
  if (!traffic_) return;
  switch (kind) {
    case LogKind::kSent: {
      // "send:COMMAND", the first word in the program's language.
      const size_t colon = text.find(':');
      traffic_->Sent(colon == std::string::npos ? text : text.substr(colon + 1));
      return;
    }
    case LogKind::kReceived:
      traffic_->Received(text);
      return;
    case LogKind::kProgram:
    case LogKind::kVerdict:
    case LogKind::kError:
      // Verdicts are in the program's language; the report says them in English.
      traffic_->Flush();
      return;
  }
}

void DeviceRunner::OnSessionEvent(SessionEvent event) {
  // Counted at once, not at the next step: a run stopped in between still sends the device back
  // to its data mode. Leaving the setting mode is read from the session's state by each step.
  if (event == SessionEvent::kLoggedIn) loggedInOnce_ = true;
}

void DeviceRunner::OnEscapeRefused() {
  escapeRefused_ = true;
}

void DeviceRunner::OnShowParsed(const std::string& reply, const ShowReplyResult& result) {
  showParsed_ = true;
  showResult_ = result;
  lastReply_ = reply;
}

void DeviceRunner::OnJobStarted(const WorkJob& job) {
  if (job.kind == JobKind::kShow && phase_ == RunPhase::kRead) readUnderWay_ = true;
  if (job.kind == JobKind::kQuitSetting) quitStarted_ = true;
  if (job.kind == JobKind::kWrite && phase_ == RunPhase::kWrite &&
      writesFinished_ < report_.writes.size())
    report_.writes[writesFinished_].started = true;
}

void DeviceRunner::OnJobFinished(const WorkJob& job, JobOutcome outcome) {
  switch (job.kind) {
    case JobKind::kShow:
      showEnded_ = true;
      showOutcome_ = outcome;
      return;
    case JobKind::kWrite: {
      // Also while leaving: the write under way when the command was stopped may still end.
      if (writesFinished_ >= report_.writes.size()) return;
      WriteVerdict verdict = WriteVerdict::kNoVerdict;
      switch (outcome) {
        case JobOutcome::kCompleted:
          verdict = WriteVerdict::kAccepted;
          break;
        case JobOutcome::kFailed:
          verdict = WriteVerdict::kRefused;
          break;
        case JobOutcome::kTimedOut:
          verdict = WriteVerdict::kTimedOut;
          break;
        case JobOutcome::kRestarted:
          // The device booted instead of answering: it may or may not have stored the value.
          report_.restarted = true;
          break;
      }
      report_.writes[writesFinished_++].verdict = verdict;
      if (verdict == WriteVerdict::kAccepted) return;
      // The worker dropped the writes behind it before taking another job.
      while (writesFinished_ < report_.writes.size())
        report_.writes[writesFinished_++].verdict = WriteVerdict::kNotSent;
      return;
    }
    case JobKind::kQuitSetting:
      quitEnded_ = true;
      quitOutcome_ = outcome;
      return;
    default:
      return;
  }
}

void DeviceRunner::OnDeviceRestarted() {
  report_.restarted = true;
}

void DeviceRunner::OnConnectionLost(const std::string& /*path*/, int /*error*/) {
  lost_ = true;
}

void DeviceRunner::OnMessageBox(const std::string& /*text*/) {}
