// The "s" stream that answers a booting device's prompt (timer 101).
//
// UI thread only. The stream writes one "s" per tick, answers every prompt at once without
// restarting its period (so a device that repeats its prompt faster than the period is still
// answered), and holds back while the device talks, so no "s" lands in its setting menu.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class SStream {
 public:
  // `send` writes the single byte "s" to the port.
  explicit SStream(std::function<void()> send);

  // Starts ticking every `periodMs` (a running stream keeps its period).
  void Start(int periodMs);
  void Stop();
  bool Running() const { return timer_.isActive(); }
  // The device printed its prompt: "s" now, and keep the stream running.
  void AnswerPrompt();
  // The device sent bytes that are not its prompt.
  void DeviceTalked();
  // How many "s" were written since the last Start (for the tests).
  int SentCount() const { return sent_; }

 private:
  void Tick();
  void Send();

  std::function<void()> send_;
  QTimer timer_;
  QElapsedTimer lastTalk_;
  int sent_ = 0;
};
