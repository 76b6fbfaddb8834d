// A recording stand-in for the device session, for the exchange's own tests.
//
// It keeps the session's parts that the exchange touches (tables, login state, timer) as plain
// members and records every call as one line of text. The hand-over to the UI thread
// is real: work from another thread is queued on the test's Qt event loop and waited for, and
// the chunks a scripted device answers reach ReceiveData through the same loop, as they do from
// the serial port's monitoring thread.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/param_table.h"
#include "event_loop.h"
#include "exchange/exchange_host.h"
#include "exchange/exchange_state.h"
#include "exchange/receive_path.h"
#include "session/ui_task_queue.h"
#include "texts/language.h"

// The language file with the texts the exchange logs, so that every verdict is told apart.
inline void UseTestLanguageFile() {
  SetLanguageFile(DTU_TEST_DATA_DIR "/exchange/Language.ini");
}

// Keeps the event loop running until `done` holds or the generous deadline passed.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = std::chrono::seconds(20)) {
  return PumpUntil(done, static_cast<int>(deadline.count()));
}

class FakeHost : public ExchangeHost {
 public:
  // What the scripted device does with each command written to the port (worker thread).
  using Device = std::function<void(FakeHost& host, const std::string& written)>;

  explicit FakeHost(ExchangeState& state) : state_(state) {
    BuildParamTable(params, lists, std::optional<int32_t>(3));
  }

  // ---- Recording ----
  std::vector<std::string> Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  std::vector<std::string> EventsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& e : Events()) {
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    }
    return out;
  }
  size_t Count(const std::string& event) const {
    size_t n = 0;
    for (const std::string& e : Events()) n += e == event;
    return n;
  }
  void ClearEvents() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
  }
  std::string Written() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return written_;
  }

  // ---- The scripted device ----
  void SetDevice(Device device) {
    std::lock_guard<std::mutex> lock(mutex_);
    device_ = std::move(device);
  }
  // Delivers the chunks one by one to ReceiveData through the UI thread's event loop.
  void DeliverLater(std::vector<std::string> chunks) {
    for (std::string& chunk : chunks) {
      tasks_.Post([this, chunk = std::move(chunk)] {
        ReceiveData(state_, *this, chunk.data(), chunk.size());
      });
    }
  }
  // While true, work handed to the UI thread is queued but never run (a UI thread that is busy
  // elsewhere, or gone).
  std::atomic<bool> uiStalled{false};

  // ---- ExchangeHost, any thread ----
  size_t WriteToPort(const char* data, size_t count) override {
    Device device;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      written_.append(data, count);
      events_.push_back("write:" + std::string(data, count));
      device = device_;
    }
    if (device) device(*this, std::string(data, count));
    return count;
  }
  void PostLog(const std::string& text) override {
    if (beforeLog) beforeLog(text);
    Record("log:" + text);
  }
  // Runs before a log line is recorded (to play a slow poster).
  std::function<void(const std::string& text)> beforeLog;
  void PostExchangeEvent(ExchangeEvent event) override {
    Record("post-event:" + EventName(event));
    tasks_.Post([this, event] { OnExchangeEvent(event); });
  }
  bool RunOnUiThread(std::function<void()> work) override {
    auto shared = shared_;
    if (tasks_.OnUiThread()) {
      if (shared->abandoned) return false;
      work();
      return true;
    }
    auto call = std::make_shared<Call>();
    call->work = std::move(work);
    {
      std::lock_guard<std::mutex> lock(shared->mutex);
      if (shared->abandoned) return false;
    }
    tasks_.Post([this, shared, call] {
      if (uiStalled) return;
      {
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (shared->abandoned) return;
      }
      call->work();
      {
        std::lock_guard<std::mutex> lock(shared->mutex);
        call->done = true;
      }
      shared->cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->cv.wait(lock, [&] { return call->done || shared->abandoned; });
    return call->done;
  }
  void AbandonUiHandOvers() override {
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      shared_->abandoned = true;
    }
    shared_->cv.notify_all();
    Record("abandon");
  }

  // ---- ExchangeHost, UI thread ----
  bool PortIsOpen() const override { return portOpen; }
  bool LoggedIn() const override { return loggedIn; }
  int TimeoutFactor() const override { return timeoutFactor; }
  // The session's state follows the login and the device leaving its setting mode.
  void OnExchangeEvent(ExchangeEvent event) override {
    Record("event:" + EventName(event));
    if (event == ExchangeEvent::kLoggedIn) loggedIn = true;
    if (event == ExchangeEvent::kLeftSettingMode) loggedIn = false;
  }
  void AnswerBootPrompt() override { Record("answer-prompt"); }
  void StopSTimer() override { Record("stop-s"); }
  void ShowReceived(const std::string& reply) override {
    Record("show-received:" + std::to_string(reply.size()));
  }
  ParamTable& Params() override { return params; }
  ListParamTable& ListParams() override { return lists; }
  DeviceFacts& Facts() override { return facts; }
  void LoadReadBack(const std::string& /*reply*/, const ShowReplyResult& /*result*/) override {
    Record("load-read-back");
  }
  void NetModeReceived(const std::string& mode) override { Record("net-mode:" + mode); }
  void ShowMessageBox(const std::string& text) override { Record("message:" + text); }
  void JobsDropped(const std::vector<WorkJob>& jobs) override {
    for (const WorkJob& job : jobs) Record("dropped:" + job.command);
  }
  // Runs `work` on the UI thread's event loop after what is queued there now.
  void PostToUi(std::function<void()> work) { tasks_.Post(std::move(work)); }

  // The window's state, touched on the UI thread.
  ParamTable params;
  ListParamTable lists;
  DeviceFacts facts;
  bool loggedIn = true;
  bool portOpen = true;
  int timeoutFactor = 1;

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable cv;
    bool abandoned = false;
  };
  struct Call {
    std::function<void()> work;
    bool done = false;
  };

  void Record(std::string event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
  }
  static std::string EventName(ExchangeEvent event) {
    switch (event) {
      case ExchangeEvent::kLoggedIn:
        return "logged-in";
      case ExchangeEvent::kLeftSettingMode:
        return "left-setting-mode";
      case ExchangeEvent::kBusy:
        return "busy";
      case ExchangeEvent::kIdle:
        return "idle";
    }
    return "?";
  }

  ExchangeState& state_;
  // The hand-over to the test's UI thread, as the session has it.
  UiTaskQueue tasks_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
  std::string written_;
  Device device_;
};

// Arms the state for a job of `kind` as the worker does at the job's start.
inline void BeginTestJob(ExchangeState& state, JobKind kind, const std::string& command) {
  WorkJob job = MakeJob(kind, command);
  job.epoch = state.Epoch();
  state.BeginJob(job);
}
