// The status line at the foot of the window: the port with its baud rate and line code, the
// connection state, the device once read, and the job or batch in progress with its elapsed
// time (a read at 9600 baud takes seconds: the bytes received so far show it moving). A batch
// of writes can be cancelled from here. UI thread only.
#pragma once

#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <string>

#include "exchange/exchange_host.h"
#include "session/batch_progress.h"
#include "session/connection_state.h"
#include "writing/work_job.h"

class QLabel;
class QPushButton;

// The value of a "Label:" line of a show reply ("Software Version", "Device Type"), empty when
// the reply has none.
std::string ShowReplyValue(const std::string& reply, const std::string& label);
// The one-line summary of an ended batch of writes, in the user's language.
std::string BatchSummaryText(const BatchSummary& summary);
// The look of a connection state for the style sheet: "closed", "waiting" or "config".
const char* StateLook(ConnectionState state);
// Gives `widget` a state's look: its "deviceState" property, which the style sheet colours.
void SetStateLook(QWidget* widget, const char* look);

class StatusLine : public QFrame {
 public:
  explicit StatusLine(QWidget* parent);

  void SetConnection(const std::string& port, const std::string& baud, const std::string& code);
  void SetState(ConnectionState state);
  // From a show reply: the device type and its software version.
  void SetDevice(const std::string& reply);
  void JobStarted(const WorkJob& job);
  // Device bytes arrived (counted while a job runs).
  void Received(size_t bytes);
  void JobFinished(const WorkJob& job, JobOutcome outcome);
  void BatchProgressed(const BatchProgress& batch);
  void BatchEnded(const BatchSummary& summary);

  // Every part as shown, joined by " | ".
  std::string Text() const;
  QPushButton* cancelButton() const { return cancel_; }
  std::function<void()> onCancel;

 private:
  void Refresh();
  double Seconds() const;

  QLabel* port_;
  QLabel* state_;
  QLabel* device_;
  QLabel* job_;
  QPushButton* cancel_;
  QTimer tick_;
  QElapsedTimer clock_;
  // The job that runs, when its kind shows progress of its own.
  JobKind jobKind_ = JobKind::kAwaitNothing;
  std::string jobCommand_;
  size_t received_ = 0;
  size_t expectedShowBytes_ = 5400;
  bool batchActive_ = false;
  int batchDone_ = 0;
  int batchTotal_ = 0;
};
