#include "session/device_session.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QThread>

#include "exchange/receive_path.h"
#include "session/login_waits.h"
#include "session/query_answers.h"

std::string_view ToString(ConnectionState state) {
  switch (state) {
    case ConnectionState::kClosed:
      return "closed";
    case ConnectionState::kWaitingForDevice:
      return "waiting for the device";
    case ConnectionState::kLoggedIn:
      return "logged in";
    case ConnectionState::kClosing:
      return "closing";
  }
  return "?";
}

DeviceSession::DeviceSession(SessionListener& listener)
    : listener_(listener), sStream_([this] { WriteToPort("s", 1); }) {
  probeTimer_.setSingleShot(true);
  probeTimer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probeTimer_, &QTimer::timeout, [this] { ProbeTick(); });
  epoch_ = state_.Epoch();
}

DeviceSession::~DeviceSession() {
  // The worker goes first: whatever job runs is abandoned, its hand-overs skipped.
  if (worker_) worker_->Stop();
  tasks_.Shutdown();
  sStream_.Stop();
  probeTimer_.stop();
  if (serialPort_.IsOpen()) serialPort_.ClosePort();
}

bool DeviceSession::StartWorker(WorkerOptions options) {
  if (worker_) return true;
  worker_ = std::make_unique<ExchangeWorker>(state_, *this, options);
  worker_->Start();
  if (worker_->Running()) return true;
  worker_.reset();
  return false;
}

void DeviceSession::BeginEpoch() {
  std::lock_guard<std::mutex> lock(writeMutex_);
  epoch_ = state_.NewEpoch();
}

OpenResult DeviceSession::Open(const std::string& path, const LineSettings& settings,
                               LoginStart login) {
  if (serialPort_.IsOpen()) Close();
  if (path.empty()) return {OpenFailure::kNoPort, 0};
  BeginEpoch();
  // From now on the setting menu of a booting device is awaited.
  AwaitSettingMenu(state_);
  timeoutFactor_ = TimeoutFactorForBaud(settings.baud);
  int error = 0;
  const bool opened = serialPort_.OpenPort(
      path, settings, [this](const char* data, size_t count) { OnData(data, count); },
      [this](int gone) { OnDeviceGone(gone); }, &error);
  if (!opened) {
    state_.SetAwaitedKind(JobKind::kAwaitNothing);
    return {OpenFailureFromErrno(error), error};
  }
  serialPort_.StartMonitor();
  backup_.PortOpened(path);
  connection_ = ConnectionState::kWaitingForDevice;
  login_ = login;
  lastReceived_.invalidate();
  if (login == LoginStart::kBootStream) {
    sStream_.Start(kBootStreamPeriodMs);
  } else {
    probeTimer_.start(kEscapeProbeDelayMs);
  }
  PostSessionEvent(SessionEvent::kPortOpened);
  return {};
}

void DeviceSession::Close() {
  if (connection_ == ConnectionState::kClosed && !serialPort_.IsOpen()) return;
  connection_ = ConnectionState::kClosing;
  sStream_.Stop();
  probeTimer_.stop();
  serialPort_.ClosePort();
  // After the port: a writer still in WriteBytes has been woken by the close and is done.
  BeginEpoch();
  // The queued writes go with the opening; the one in flight gets no verdict any more.
  if (batch_.Active()) {
    batch_.Dropped(batch_.Total() - batch_.Done(), false);
    ReportBatch();
  }
  connection_ = ConnectionState::kClosed;
  PostSessionEvent(SessionEvent::kPortClosed);
}

void DeviceSession::LoginByEscape() {
  probeTimer_.stop();
  ::LoginByEscape(state_, *this);
  // A device that is talking or booting may miss it: ask again while nothing answers.
  if (login_ == LoginStart::kProbe) probeTimer_.start(kEscapeRetryMs);
}

EnqueueResult DeviceSession::Queue(const WorkJob& job) {
  const EnqueueResult result = EnqueueJob(state_, *this, job);
  // Batches are the UI thread's: a write queued elsewhere is sent but not counted.
  const bool uiThread = QThread::currentThread() == probeTimer_.thread();
  if (result != EnqueueResult::kRefused && IsBatchWrite(job) && uiThread) {
    batch_.Queued();
    listener_.OnBatchProgress(batch_);
  }
  return result;
}

int DeviceSession::CancelBatch() {
  if (!batch_.Active()) return 0;
  const int dropped = static_cast<int>(state_.queue.RemoveIf(IsBatchWrite).size());
  batch_.Dropped(dropped, true);
  ReportBatch();
  return dropped;
}

int DeviceSession::DropQueuedJobs() {
  std::vector<WorkJob> dropped = state_.queue.RemoveIf([](const WorkJob&) { return true; });
  const int count = static_cast<int>(dropped.size());
  if (count > 0) JobsDropped(dropped);
  return count;
}

bool DeviceSession::AbandonRunningJob() {
  return state_.AbandonRunningJob();
}

void DeviceSession::ReportBatch() {
  if (!batch_.Active()) return;
  if (!batch_.Complete()) return listener_.OnBatchProgress(batch_);
  const BatchSummary summary = batch_.Summary();
  batch_.Reset();
  listener_.OnBatchEnded(summary);
}

EnqueueResult DeviceSession::Queue(JobKind kind, std::string_view command) {
  return Queue(MakeJob(kind, command));
}

void DeviceSession::OnData(const char* data, size_t count) {
  lastReceived_.start();
  ReceiveData(state_, *this, data, count);
}

void DeviceSession::OnDeviceGone(int error) {
  if (!serialPort_.IsOpen()) return;
  const std::string path = serialPort_.PortPath();
  Close();
  listener_.OnConnectionLost(path, error);
}

void DeviceSession::ProbeTick() {
  if (connection_ != ConnectionState::kWaitingForDevice) return;
  // A booting device is answered by the stream; no escape into its prompt. One that went quiet
  // without taking an "s" has left its prompt: the escape is the way in now.
  if (sStream_.Running()) {
    if (!lastReceived_.isValid() || lastReceived_.elapsed() < kBootQuietMs) {
      probeTimer_.start(kEscapeRetryMs);
      return;
    }
    sStream_.Stop();
  }
  if (lastReceived_.isValid() && lastReceived_.elapsed() < kEscapeGuardMs) {
    probeTimer_.start(static_cast<int>(kEscapeGuardMs - lastReceived_.elapsed()) + 1);
    return;
  }
  LoginByEscape();
}

size_t DeviceSession::WriteToPort(const char* data, size_t count) {
  return serialPort_.WriteBytes(data, count);
}

size_t DeviceSession::WriteJobBytes(const WorkJob& job, const char* data, size_t count) {
  std::lock_guard<std::mutex> lock(writeMutex_);
  if (job.epoch != epoch_.load()) return 0;
  return serialPort_.WriteBytes(data, count);
}

void DeviceSession::PostForEpoch(uint64_t epoch, std::function<void()> work) {
  tasks_.Post([this, epoch, work = std::move(work)] {
    if (epoch == epoch_.load()) work();
  });
}

void DeviceSession::PostLog(const std::string& text) {
  PostLogOfKind(text, LogKind::kProgram);
}

void DeviceSession::PostLogOfKind(const std::string& text, LogKind kind) {
  if (text.empty()) return;
  PostForEpoch(epoch_.load(), [this, text, kind] { listener_.OnSessionLogOfKind(text, kind); });
}

void DeviceSession::PostJobLog(const WorkJob& job, const std::string& text, LogKind kind) {
  if (text.empty() || job.epoch != epoch_.load()) return;
  PostForEpoch(job.epoch, [this, text, kind] { listener_.OnSessionLogOfKind(text, kind); });
}

void DeviceSession::JobStarting(const WorkJob& job) {
  listener_.OnJobStarted(job);
}

void DeviceSession::QueryAnswered(const WorkJob& job, const std::string& reply) {
  PostJobLog(job, job.kind == JobKind::kSimStatus ? SimAnswerLine(reply) : SignalAnswerLine(reply),
             LogKind::kProgram);
}

void DeviceSession::PostExchangeEvent(ExchangeEvent event) {
  PostForEpoch(epoch_.load(), [this, event] { OnExchangeEvent(event); });
}

void DeviceSession::PostSessionEvent(SessionEvent event) {
  PostForEpoch(epoch_.load(), [this, event] { listener_.OnSessionEvent(event); });
}

bool DeviceSession::RunOnUiThread(std::function<void()> work) {
  return tasks_.Invoke(std::move(work));
}

void DeviceSession::AbandonUiHandOvers() {
  tasks_.Shutdown();
}

void DeviceSession::JobFinished(const WorkJob& job, JobOutcome outcome) {
  // Posted, so it arrives after the job's own log lines.
  PostForEpoch(job.epoch, [this, job, outcome] {
    const bool counted = IsBatchWrite(job) && batch_.Active();
    if (counted) batch_.Finished(job.name, outcome);
    listener_.OnJobFinished(job, outcome);
    if (counted) ReportBatch();
  });
}

void DeviceSession::JobsDropped(const std::vector<WorkJob>& jobs) {
  listener_.OnJobsDropped(jobs);
  if (!batch_.Active()) return;
  const auto writes = std::count_if(jobs.begin(), jobs.end(), IsBatchWrite);
  if (writes == 0) return;
  batch_.Dropped(static_cast<int>(writes), false);
  ReportBatch();
}

void DeviceSession::DeviceRestarted() {
  PostForEpoch(epoch_.load(), [this] { listener_.OnDeviceRestarted(); });
}

void DeviceSession::OnExchangeEvent(ExchangeEvent event) {
  switch (event) {
    case ExchangeEvent::kLoggedIn:
      if (serialPort_.IsOpen()) {
        connection_ = ConnectionState::kLoggedIn;
        probeTimer_.stop();
      }
      return listener_.OnSessionEvent(SessionEvent::kLoggedIn);
    case ExchangeEvent::kLeftSettingMode:
      return LeaveSettingMode();
    case ExchangeEvent::kBusy:
      return listener_.OnSessionEvent(SessionEvent::kBusy);
    case ExchangeEvent::kIdle:
      return listener_.OnSessionEvent(SessionEvent::kIdle);
  }
}

void DeviceSession::LeaveSettingMode() {
  if (serialPort_.IsOpen()) connection_ = ConnectionState::kWaitingForDevice;
  listener_.OnSessionEvent(SessionEvent::kLoggedOut);
}

void DeviceSession::StopSTimer() {
  sStream_.Stop();
  probeTimer_.stop();
}

void DeviceSession::AnswerBootPrompt() {
  // The device is booting: no escape into its prompt; the stream takes it in. The probe only
  // looks on, in case the prompt runs out before an "s" is taken.
  probeTimer_.stop();
  if (login_ == LoginStart::kProbe && connection_ == ConnectionState::kWaitingForDevice)
    probeTimer_.start(kEscapeRetryMs);
  sStream_.AnswerPrompt();
}

void DeviceSession::DeviceTalked() {
  sStream_.DeviceTalked();
}

void DeviceSession::EscapeRefused() {
  probeTimer_.stop();
  listener_.OnEscapeRefused();
}

void DeviceSession::ShowReceived(const std::string& reply) {
  const ShowReplyResult result =
      ParseShowReply(reply.data(), reply.size(), params_, listParams_, facts_.fiveDioModel);
  NoteRead(reply, result);
  listener_.OnShowParsed(reply, result);
}

void DeviceSession::LoadReadBack(const std::string& reply, const ShowReplyResult& result) {
  NoteRead(reply, result);
  listener_.OnLoadReadBack();
}

void DeviceSession::NoteRead(const std::string& reply, const ShowReplyResult& result) {
  if (result.markerFound && !params_.empty() && result.labelsFound >= params_.size())
    backup_.DeviceRead(reply);
}

void DeviceSession::NetModeReceived(const std::string& mode) {
  listener_.OnNetMode(mode);
}

void DeviceSession::ShowMessageBox(const std::string& text) {
  listener_.OnMessageBox(text);
}
