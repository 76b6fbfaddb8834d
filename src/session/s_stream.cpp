#include "session/s_stream.h"

#include "session/login_waits.h"

SStream::SStream(std::function<void()> send) : send_(std::move(send)) {
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

void SStream::Start(int periodMs) {
  if (timer_.isActive()) return;
  sent_ = 0;
  lastTalk_.invalidate();
  timer_.start(periodMs);
}

void SStream::Stop() {
  timer_.stop();
}

void SStream::AnswerPrompt() {
  Send();
  lastTalk_.invalidate();
  if (!timer_.isActive()) timer_.start(kPromptStreamPeriodMs);
}

void SStream::DeviceTalked() {
  lastTalk_.start();
}

void SStream::Tick() {
  if (lastTalk_.isValid() && lastTalk_.elapsed() < kTalkQuietMs) return;
  Send();
}

void SStream::Send() {
  ++sent_;
  send_();
}
