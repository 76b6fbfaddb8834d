// The log pane, the status line and the device-state area: what the window shows about the
// line, the device and the job in progress. UI thread only.
#include <QBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/help_toggle.h"
#include "app/log_pane.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "app/title_texts.h"
#include "texts/language.h"
#include "ui/skin_window.h"

namespace {
QWidget* WidgetOf(Form& form, const char* name) {
  return dynamic_cast<QWidget*>(form.Find(name));
}
}  // namespace

void CZR350FrameWnd::InitLogAndStatus() {
  Form& f = form();
  if (auto* edit = dynamic_cast<QPlainTextEdit*>(f.Find("richedit"))) {
    log_ = std::make_unique<LogPane>(edit, kLogTextLimit);
    if (QWidget* tools = WidgetOf(f, "LogTools")) {
      if (auto* row = qobject_cast<QBoxLayout*>(tools->layout())) {
        log_->InstallTools(row);
        if (QWidget* help = WidgetOf(f, "helpGroupBox")) new HelpToggle(help, row);
      }
    }
    LogPane::InstallSplitter(WidgetOf(f, "switch"), WidgetOf(f, "BottomPanel"));
    log_->savedNotice = [this](const std::string& path) {
      AppendLog(LanguageText("LogAndStatus", "LogSaved", "") + " " + path + "\r\n");
    };
    log_->saveFailed = [this](const std::string& why) {
      const std::string text = LanguageText("LogAndStatus", "SaveLogFailed", "") + "\n" + why;
      AppendLog(text + "\r\n", LogKind::kError);
      ShowMessageBox(text);
    };
  }
  if (QWidget* root = WidgetOf(f, "WindowRoot"); root && root->layout()) {
    statusLine_ = new StatusLine(root);
    root->layout()->addWidget(statusLine_);
    statusLine_->onCancel = [this] { session_.CancelBatch(); };
  }
  if (QWidget* group = WidgetOf(f, "DeviceGroupBox")) {
    auto* column = qobject_cast<QBoxLayout*>(group->layout());
    QWidget* stateRow = WidgetOf(f, "StateRow");
    if (column) {
      batchResult_ = new QLabel(group);
      batchResult_->setObjectName("BatchResult");
      batchResult_->setWordWrap(true);
      batchResult_->setVisible(false);
      const int at = stateRow ? column->indexOf(stateRow) : -1;
      column->insertWidget(at + 1, batchResult_);
    }
  }
  ShowConnectionState(false);
}

void CZR350FrameWnd::AppendLog(const std::string& text, LogKind kind) {
  if (hooks_.log) hooks_.log(text);
  if (log_) log_->Append(text, kind);
}

void CZR350FrameWnd::ClearLog() {
  if (log_) log_->Clear();
}

void CZR350FrameWnd::ShowConnectionState(bool loggedInNow) {
  const char* look = loggedInNow ? "config" : session_.IsOpen() ? "waiting" : "closed";
  if (QWidget* state = WidgetOf(form(), "DeviceState")) SetStateLook(state, look);
  if (window_) {
    window_->SetWindowTitle(WindowTitleText(session_.Facts().deviceTypeText,
                                            session_.IsOpen() ? session_.PortPath() : ""));
  }
  if (!statusLine_) return;
  statusLine_->SetState(session_.State());
  if (!session_.IsOpen()) statusLine_->SetConnection("", "", "");
}

void CZR350FrameWnd::ClearBatchResult() {
  if (!batchResult_) return;
  batchResult_->clear();
  batchResult_->setVisible(false);
}

void CZR350FrameWnd::ShowConnection(const std::string& path, const std::string& baud,
                                    const std::string& code) {
  if (statusLine_) statusLine_->SetConnection(path, baud, code);
}

void CZR350FrameWnd::OnSessionLogOfKind(const std::string& text, LogKind kind) {
  AppendLog(text, kind);
  if (kind == LogKind::kReceived && statusLine_) statusLine_->Received(text.size());
}

void CZR350FrameWnd::OnJobStarted(const WorkJob& job) {
  if (statusLine_) statusLine_->JobStarted(job);
}

void CZR350FrameWnd::OnBatchProgress(const BatchProgress& batch) {
  if (statusLine_) statusLine_->BatchProgressed(batch);
  if (!batchResult_) return;
  const int current = batch.Done() < batch.Total() ? batch.Done() + 1 : batch.Total();
  batchResult_->setText(QString::fromStdString(
      FillText(LanguageText("LogAndStatus", "BatchShort", ""),
               {{"done", std::to_string(current)}, {"total", std::to_string(batch.Total())}})));
  SetStateLook(batchResult_, "waiting");
  batchResult_->setVisible(true);
}

void CZR350FrameWnd::OnBatchEnded(const BatchSummary& summary) {
  const bool clean = summary.refused.empty() && summary.timedOut == 0 && summary.restarted == 0 &&
                     summary.notSent == 0;
  const std::string text = BatchSummaryText(summary);
  AppendLog(text + "\r\n", clean ? LogKind::kVerdict : LogKind::kError);
  if (statusLine_) statusLine_->BatchEnded(summary);
  if (!batchResult_) return;
  batchResult_->setText(QString::fromStdString(text));
  SetStateLook(batchResult_, clean ? "config" : "failed");
  batchResult_->setVisible(true);
}
