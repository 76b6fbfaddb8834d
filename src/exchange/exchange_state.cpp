#include "exchange/exchange_state.h"

#include <algorithm>

void ReplyCollection::Append(const char* data, size_t count) {
  if (count >= kReceiveBufferSize) {
    received.assign(data + (count - kReceiveBufferSize), kReceiveBufferSize);
  } else {
    const size_t keep = std::min(received.size(), kReceiveBufferSize - count);
    received.erase(0, received.size() - keep);
    received.append(data, count);
  }
  // The collection is searched as one text; a zero byte from a noisy line must not end it.
  std::replace(received.end() - static_cast<std::ptrdiff_t>(std::min(count, received.size())),
               received.end(), '\0', ' ');
}

void ReplyCollection::SetReplyReady(ReplyStatus status) {
  replyReady = true;
  replyStatus = status;
  // What came before the command's echo is no part of the answer (line noise, the tail of an
  // earlier reply): it would end up in a saved file and push the reply out of the parse window.
  // The line breaks in front of the echo stay, as the device sent them.
  size_t start = EchoStart(received, command);
  while (start > 0 && (received[start - 1] == '\r' || received[start - 1] == '\n')) --start;
  replyText = received.substr(start);
}

bool ExchangeState::BeginJob(const WorkJob& job) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (job.epoch != epoch_) return false;
  jobEpoch_ = job.epoch;
  collection_.awaitedKind = job.kind;
  collection_.command = job.command;
  collection_.replyReady = false;
  collection_.replyStatus = ReplyStatus::kNeedMore;
  collection_.replyText.clear();
  collection_.received.clear();
  collection_.jobRunning = true;
  collection_.deviceRestarted = false;
  collection_.jobAbandoned = false;
  return true;
}

bool ExchangeState::AbandonRunningJob() {
  return Update([](ReplyCollection& c) {
    if (!c.jobRunning) return false;
    c.jobAbandoned = true;
    c.awaitedKind = JobKind::kAwaitNothing;
    return true;
  });
}

uint64_t ExchangeState::Epoch() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return epoch_;
}

uint64_t ExchangeState::NewEpoch() {
  uint64_t epoch = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    epoch = ++epoch_;
    collection_ = ReplyCollection{};
  }
  queue.Clear();
  changed_.notify_all();
  return epoch;
}

bool ExchangeState::Push(WorkJob job) {
  job.epoch = Epoch();
  return queue.Push(job);
}

ReplyWait ExchangeState::WaitForReply(std::chrono::milliseconds timeout, ReplyStatus* status,
                                      std::string* text) {
  std::unique_lock<std::mutex> lock(mutex_);
  const bool woken = changed_.wait_for(lock, timeout, [&] {
    return quit_ || collection_.replyReady || collection_.deviceRestarted ||
           collection_.jobAbandoned || jobEpoch_ != epoch_;
  });
  collection_.jobRunning = false;
  if (quit_) return ReplyWait::kQuit;
  if (jobEpoch_ != epoch_ || collection_.jobAbandoned) return ReplyWait::kAborted;
  if (!woken) return ReplyWait::kTimeout;
  if (!collection_.replyReady) return ReplyWait::kRestarted;
  *status = collection_.replyStatus;
  *text = std::move(collection_.replyText);
  collection_.replyText.clear();
  return ReplyWait::kReply;
}

bool ExchangeState::WaitForQuit(std::chrono::milliseconds pause) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, pause, [&] { return quit_; });
}

void ExchangeState::RequestQuit() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  queue.Quit();
}

bool ExchangeState::QuitRequested() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return quit_;
}

JobKind ExchangeState::AwaitedKind() const {
  return Inspect([](const ReplyCollection& c) { return c.awaitedKind; });
}

void ExchangeState::SetAwaitedKind(JobKind kind) {
  Update([kind](ReplyCollection& c) { c.awaitedKind = kind; });
}

void ExchangeState::ClearReceived() {
  Update([](ReplyCollection& c) { c.received.clear(); });
}

std::string ExchangeState::Received() const {
  return Inspect([](const ReplyCollection& c) { return c.received; });
}
