// Delivers messages and tasks on the UI thread (the thread that created the pump).
//
// Post queues a message behind everything already queued. Send from another thread blocks until
// the UI thread has handled the message; Send on the UI thread calls the handler directly. Once
// Shutdown() has been called, blocked senders return at once and later messages are dropped,
// so no thread can hang on a window that is going away.
#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include <cstdint>

using MessageId = unsigned;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using MessageResult = std::intptr_t;

class MessagePump : public QObject {
 public:
  using Handler = std::function<MessageResult(MessageId, WParam, LParam)>;

  explicit MessagePump(Handler handler);
  ~MessagePump() override;

  // Queues the message. `payload` travels with it; when not empty, the handler receives its bytes
  // as wParam and their count as lParam (the text of WM_LOG_TEXT).
  void Post(MessageId msg, WParam wParam, LParam lParam, std::string payload = {});
  // Queues `work` to run on the UI thread behind everything already queued.
  void PostTask(std::function<void()> work);
  // Handles the message on the UI thread and returns its result; `*delivered` (when given) says
  // whether it was handled, false after Shutdown().
  MessageResult Send(MessageId msg, WParam wParam, LParam lParam, bool* delivered = nullptr);
  // Runs `work` on the UI thread and waits for it, like Send. False when abandoned.
  bool Invoke(std::function<void()> work);

  void Shutdown();
  bool IsShutDown() const { return shutDown_.load(); }
  bool OnUiThread() const { return std::this_thread::get_id() == uiThread_; }

 protected:
  bool event(QEvent* e) override;

 private:
  struct Pending;
  void Publish(QEvent* e);
  Handler handler_;
  std::thread::id uiThread_;
  std::atomic<bool> shutDown_{false};
  std::mutex mutex_;
  std::condition_variable handled_;
};
