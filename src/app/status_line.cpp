#include "app/status_line.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <cstdio>

#include "texts/language.h"

namespace {

constexpr const char* kSection = "LogAndStatus";

std::string Lang(const char* key) {
  return LanguageText(kSection, key, "");
}

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string Kilobytes(size_t bytes) {
  return OneDecimal(static_cast<double>(bytes) / 1000.0);
}

bool IsShowRequest(JobKind kind) {
  return kind == JobKind::kShow || kind == JobKind::kSaveToFile || kind == JobKind::kLoadFromFile;
}

// The command as the user would recognise it: without its line ends.
std::string CommandText(std::string command) {
  while (!command.empty() && (command.front() == '\r' || command.front() == '\n'))
    command.erase(0, 1);
  const size_t end = command.find_first_of("\r\n");
  if (end != std::string::npos) command.resize(end);
  return command;
}

}  // namespace

void SetStateLook(QWidget* label, const char* look) {
  label->setProperty("deviceState", look);
  label->style()->unpolish(label);
  label->style()->polish(label);
}

std::string ShowReplyValue(const std::string& reply, const std::string& label) {
  const std::string marker = "\n" + label + ":";
  const size_t at = reply.find(marker);
  if (at == std::string::npos) return {};
  const size_t from = at + marker.size();
  const size_t end = reply.find_first_of("\r\n", from);
  std::string value = reply.substr(from, end == std::string::npos ? end : end - from);
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return value;
}

std::string BatchSummaryText(const BatchSummary& s) {
  std::string text =
      FillText(Lang(s.cancelled ? "BatchCancelled" : "BatchWritten"),
               {{"written", std::to_string(s.written)}, {"total", std::to_string(s.total)}});
  if (!s.refused.empty()) {
    std::string names;
    for (const std::string& name : s.refused) names += (names.empty() ? "" : ", ") + name;
    text += "; " + FillText(Lang("BatchRefused"),
                            {{"count", std::to_string(s.refused.size())}, {"names", names}});
  }
  if (s.timedOut > 0)
    text += "; " + FillText(Lang("BatchTimedOut"), {{"count", std::to_string(s.timedOut)}});
  if (s.restarted > 0)
    text += "; " + FillText(Lang("BatchRestarted"), {{"count", std::to_string(s.restarted)}});
  if (s.notSent > 0)
    text += "; " + FillText(Lang("BatchNotSent"), {{"count", std::to_string(s.notSent)}});
  return text;
}

const char* StateLook(ConnectionState state) {
  switch (state) {
    case ConnectionState::kLoggedIn:
      return "config";
    case ConnectionState::kWaitingForDevice:
      return "waiting";
    case ConnectionState::kClosed:
    case ConnectionState::kClosing:
      break;
  }
  return "closed";
}

StatusLine::StatusLine(QWidget* parent) : QFrame(parent) {
  setObjectName("StatusLine");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(12, 3, 12, 3);
  row->setSpacing(14);
  auto label = [this, row](const char* name, int stretch) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(l, stretch);
    return l;
  };
  port_ = label("StatusPort", 0);
  state_ = label("StatusState", 0);
  device_ = label("StatusDevice", 0);
  job_ = label("StatusJob", 1);
  cancel_ = new QPushButton(QString::fromStdString(Lang("Cancel")), this);
  cancel_->setObjectName("CancelBatch");
  cancel_->setToolTip(QString::fromStdString(Lang("CancelTip")));
  cancel_->setVisible(false);
  row->addWidget(cancel_);
  QObject::connect(cancel_, &QPushButton::clicked, [this] {
    if (onCancel) onCancel();
  });
  tick_.setInterval(200);
  QObject::connect(&tick_, &QTimer::timeout, [this] { Refresh(); });
  SetConnection("", "", "");
  SetState(ConnectionState::kClosed);
  device_->setVisible(false);
}

void StatusLine::SetConnection(const std::string& port, const std::string& baud,
                               const std::string& code) {
  port_->setText(
      QString::fromStdString(port.empty() ? Lang("PortNone") : port + " · " + baud + " · " + code));
}

void StatusLine::SetState(ConnectionState state) {
  const char* key = state == ConnectionState::kLoggedIn           ? "StateConfig"
                    : state == ConnectionState::kWaitingForDevice ? "StateWaiting"
                                                                  : "StateClosed";
  state_->setText(QString::fromStdString(Lang(key)));
  SetStateLook(state_, StateLook(state));
  if (state == ConnectionState::kClosed) {
    tick_.stop();
    jobKind_ = JobKind::kAwaitNothing;
    batchActive_ = false;
    cancel_->setVisible(false);
  }
}

void StatusLine::SetDevice(const std::string& reply) {
  if (reply.size() > 1000) expectedShowBytes_ = reply.size();
  const std::string type = ShowReplyValue(reply, "Device Type");
  // Firmware releases name the line differently.
  std::string version = ShowReplyValue(reply, "Software Version");
  if (version.empty()) version = ShowReplyValue(reply, "Firmware version");
  std::string text;
  if (!type.empty()) text = type;
  if (!version.empty()) text += (text.empty() ? "" : " · ") + version;
  device_->setText(QString::fromStdString(text));
  device_->setVisible(!text.empty());
}

void StatusLine::JobStarted(const WorkJob& job) {
  jobKind_ = job.kind;
  jobCommand_ = CommandText(job.command);
  received_ = 0;
  if (!batchActive_) clock_.start();
  tick_.start();
  Refresh();
}

void StatusLine::Received(size_t bytes) {
  if (jobKind_ == JobKind::kAwaitNothing) return;
  received_ += bytes;
  // Redrawn by the tick: thousands of small chunks cost one text each 200 ms.
}

void StatusLine::JobFinished(const WorkJob& job, JobOutcome outcome) {
  if (batchActive_ && job.kind == JobKind::kWrite) return;  // the batch tells its own story
  const std::string what = IsShowRequest(job.kind) ? Lang("JobReadName") : CommandText(job.command);
  const char* key = outcome == JobOutcome::kCompleted ? "JobDone"
                    : outcome == JobOutcome::kFailed  ? "JobRefused"
                                                      : "JobTimedOut";
  std::string text = FillText(Lang(key), {{"job", what}, {"seconds", OneDecimal(Seconds())}});
  if (IsShowRequest(job.kind) && outcome == JobOutcome::kCompleted)
    text += " · " + Kilobytes(received_) + " KB";
  jobKind_ = JobKind::kAwaitNothing;
  if (!batchActive_) tick_.stop();
  job_->setText(QString::fromStdString(text));
}

void StatusLine::BatchProgressed(const BatchProgress& batch) {
  if (!batchActive_) {
    batchActive_ = true;
    clock_.start();
    tick_.start();
  }
  batchDone_ = batch.Done();
  batchTotal_ = batch.Total();
  cancel_->setVisible(true);
  cancel_->setEnabled(!batch.Summary().cancelled);
  Refresh();
}

void StatusLine::BatchEnded(const BatchSummary& summary) {
  batchActive_ = false;
  jobKind_ = JobKind::kAwaitNothing;
  tick_.stop();
  cancel_->setVisible(false);
  job_->setText(
      QString::fromStdString(BatchSummaryText(summary) + " · " + OneDecimal(Seconds()) + " s"));
}

double StatusLine::Seconds() const {
  return clock_.isValid() ? static_cast<double>(clock_.elapsed()) / 1000.0 : 0.0;
}

void StatusLine::Refresh() {
  const std::string seconds = OneDecimal(Seconds());
  std::string text;
  if (batchActive_) {
    // The write being sent is counted: "1 of 12" while the first one is on the line.
    const int current = batchDone_ < batchTotal_ ? batchDone_ + 1 : batchTotal_;
    text = FillText(Lang("JobWriting"), {{"done", std::to_string(current)},
                                         {"total", std::to_string(batchTotal_)},
                                         {"seconds", seconds}});
  } else if (IsShowRequest(jobKind_)) {
    text = FillText(Lang("JobReading"), {{"received", Kilobytes(received_)},
                                         {"expected", Kilobytes(expectedShowBytes_)},
                                         {"seconds", seconds}});
  } else if (jobKind_ != JobKind::kAwaitNothing) {
    text = FillText(Lang("JobRunning"), {{"command", jobCommand_}, {"seconds", seconds}});
  } else {
    return;
  }
  job_->setText(QString::fromStdString(text));
}

std::string StatusLine::Text() const {
  std::string text = port_->text().toStdString() + " | " + state_->text().toStdString();
  if (!device_->text().isEmpty()) text += " | " + device_->text().toStdString();
  return text + " | " + job_->text().toStdString();
}
