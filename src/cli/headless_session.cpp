#include "cli/headless_session.h"

#include "session/event_wait.h"

namespace {
// A device that neither shows its boot prompt nor answers "+++" within this time is not there
// (the probe asks every second; a booting device prompts within its first second).
constexpr int kLoginDeadlineMs = 10000;
// Beyond a job's own time-out: the worker's verdict still has to reach the UI thread.
constexpr int kJobMarginMs = 2000;
}  // namespace

HeadlessSession::HeadlessSession(std::ostream* progress) : progress_(progress), session_(*this) {}

HeadlessSession::~HeadlessSession() = default;

bool HeadlessSession::OpenAndLogIn(const std::string& path, const LineSettings& settings,
                                   std::string* failure) {
  if (!session_.WorkerRunning() && !session_.StartWorker()) {
    *failure = "cannot start the worker thread";
    return false;
  }
  const OpenResult opened = session_.Open(path, settings, LoginStart::kProbe);
  if (!opened.ok()) {
    *failure = DescribeOpenFailure(opened, path);
    return false;
  }
  escapeRefused_ = false;
  lost_ = false;
  RunEventLoopUntil(
      [&] { return session_.LoggedIn() || lost_ || escapeRefused_ || !session_.IsOpen(); },
      kLoginDeadlineMs);
  if (session_.LoggedIn()) return true;
  if (lost_ || !session_.IsOpen()) {
    *failure = "the device at " + path + " went away during the login";
  } else if (escapeRefused_) {
    *failure = "login: the device at " + path + " answered \"+++\" with ERROR";
  } else {
    *failure = "login: the device at " + path +
               " answered neither its boot prompt nor \"+++\" with its setting mode";
  }
  session_.Close();
  return false;
}

bool HeadlessSession::RunJob(const WorkJob& job, JobOutcome* outcome) {
  const uint64_t before = finishedJobs_;
  if (session_.Queue(job) == EnqueueResult::kRefused) {
    *outcome = JobOutcome::kFailed;
    return true;
  }
  const int timeoutMs = JobTimeoutMs(job.kind, session_.TimeoutFactor()) + kJobMarginMs;
  const bool ended = RunEventLoopUntil(
      [&] { return (finishedJobs_ != before && lastKind_ == job.kind) || !session_.IsOpen(); },
      timeoutMs);
  if (!ended || finishedJobs_ == before) return false;
  *outcome = lastOutcome_;
  return true;
}

void HeadlessSession::OnSessionLog(const std::string& text) {
  if (progress_) *progress_ << text << std::flush;
}

void HeadlessSession::OnButtonSet(int /*set*/, bool /*enable*/) {}

void HeadlessSession::OnEscapeRefused() {
  escapeRefused_ = true;
}

void HeadlessSession::OnShowParsed(const std::string& reply, const ShowReplyResult& result) {
  showParsed_ = true;
  lastShowReply_ = reply;
  lastShowResult_ = result;
}

void HeadlessSession::OnJobFinished(const WorkJob& job, JobOutcome outcome) {
  ++finishedJobs_;
  lastKind_ = job.kind;
  lastOutcome_ = outcome;
  if (onJobFinished) onJobFinished(job, outcome);
}

void HeadlessSession::OnConnectionLost(const std::string& /*path*/, int /*error*/) {
  lost_ = true;
}

void HeadlessSession::OnMessageBox(const std::string& text) {
  lastMessage_ = text;
}
