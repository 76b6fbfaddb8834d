#include "app/log_and_status.h"

#include <QBoxLayout>
#include <QPlainTextEdit>

#include "app/help_toggle.h"
#include "app/log_pane.h"
#include "app/status_line.h"
#include "texts/language.h"

namespace {
QWidget* WidgetOf(Form& form, const char* name) {
  return dynamic_cast<QWidget*>(form.Find(name));
}
}  // namespace

LogAndStatus::LogAndStatus(Form& form, Hooks hooks) : form_(form), hooks_(std::move(hooks)) {}

LogAndStatus::~LogAndStatus() = default;

void LogAndStatus::Install() {
  if (auto* edit = dynamic_cast<QPlainTextEdit*>(form_.Find("richedit"))) {
    pane_ = std::make_unique<LogPane>(edit, kLogTextLimit);
    if (QWidget* tools = WidgetOf(form_, "LogTools")) {
      if (auto* row = qobject_cast<QBoxLayout*>(tools->layout())) {
        pane_->InstallTools(row);
        if (QWidget* help = WidgetOf(form_, "helpGroupBox")) new HelpToggle(help, row);
      }
    }
    LogPane::InstallSplitter(WidgetOf(form_, "switch"), WidgetOf(form_, "BottomPanel"));
    pane_->savedNotice = [this](const std::string& path) {
      Append(LanguageText("LogAndStatus", "LogSaved", "") + " " + path + "\r\n");
    };
    pane_->saveFailed = [this](const std::string& why) {
      const std::string text = LanguageText("LogAndStatus", "SaveLogFailed", "") + "\n" + why;
      Append(text + "\r\n", LogKind::kError);
      if (hooks_.messageBox) hooks_.messageBox(text);
    };
  }
  if (QWidget* root = WidgetOf(form_, "WindowRoot"); root && root->layout()) {
    statusLine_ = new StatusLine(root);
    root->layout()->addWidget(statusLine_);
    statusLine_->onCancel = [this] {
      if (hooks_.cancelBatch) hooks_.cancelBatch();
    };
  }
}

void LogAndStatus::Append(const std::string& text, LogKind kind) {
  if (hooks_.observe) hooks_.observe(text);
  if (pane_) pane_->Append(text, kind);
}

void LogAndStatus::Clear() {
  if (pane_) pane_->Clear();
}

void LogAndStatus::Traffic(const std::string& text, LogKind kind) {
  Append(text, kind);
  if (kind == LogKind::kReceived && statusLine_) statusLine_->Received(text.size());
}

void LogAndStatus::ShowState(ConnectionState state, bool portOpen) {
  if (!statusLine_) return;
  statusLine_->SetState(state);
  if (!portOpen) statusLine_->SetConnection("", "", "");
}

void LogAndStatus::ShowConnection(const std::string& path, const std::string& baud,
                                  const std::string& code) {
  if (statusLine_) statusLine_->SetConnection(path, baud, code);
}

void LogAndStatus::ShowDevice(const std::string& reply) {
  if (statusLine_) statusLine_->SetDevice(reply);
}

void LogAndStatus::JobStarted(const WorkJob& job) {
  if (statusLine_) statusLine_->JobStarted(job);
}

void LogAndStatus::JobFinished(const WorkJob& job, JobOutcome outcome) {
  if (statusLine_) statusLine_->JobFinished(job, outcome);
}

void LogAndStatus::BatchProgressed(const BatchProgress& batch) {
  if (statusLine_) statusLine_->BatchProgressed(batch);
}

bool LogAndStatus::BatchEnded(const BatchSummary& summary) {
  const bool clean = summary.refused.empty() && summary.timedOut == 0 && summary.restarted == 0 &&
                     summary.notSent == 0;
  Append(BatchSummaryText(summary) + "\r\n", clean ? LogKind::kVerdict : LogKind::kError);
  if (statusLine_) statusLine_->BatchEnded(summary);
  return clean;
}
