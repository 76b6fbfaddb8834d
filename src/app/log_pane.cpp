#include "app/log_pane.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include "texts/atomic_file.h"
#include "texts/language.h"

namespace {

constexpr const char* kSection = "LogAndStatus";

QString Text(const char* key) {
  return QString::fromStdString(LanguageText(kSection, key, ""));
}

struct KindLook {
  LogKind kind;
  const char* colour;
  bool bold;
  bool italic;
};

// Device bytes in the pane's own text colour; what the program did around them stands out.
constexpr KindLook kLooks[] = {
    {LogKind::kProgram, "#475569", false, true},   {LogKind::kSent, "#1d4ed8", false, false},
    {LogKind::kReceived, "#0f172a", false, false}, {LogKind::kVerdict, "#15803d", true, false},
    {LogKind::kError, "#b91c1c", true, false},
};

QTextCharFormat MakeFormat(LogKind kind) {
  QTextCharFormat format;
  for (const KindLook& look : kLooks) {
    if (look.kind != kind) continue;
    format.setForeground(QColor(look.colour));
    format.setFontWeight(look.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(look.italic);
  }
  return format;
}

const QTextCharFormat& FormatOf(LogKind kind) {
  static const QTextCharFormat formats[] = {
      MakeFormat(LogKind::kProgram), MakeFormat(LogKind::kSent), MakeFormat(LogKind::kReceived),
      MakeFormat(LogKind::kVerdict), MakeFormat(LogKind::kError)};
  return formats[static_cast<int>(kind)];
}

}  // namespace

LogPane::LogPane(QPlainTextEdit* edit, int limit) : edit_(edit), limit_(limit) {
  edit_->setUndoRedoEnabled(false);
  follow_.setSingleShot(true);
  follow_.setInterval(0);
  QObject::connect(&follow_, &QTimer::timeout, [this] {
    QScrollBar* bar = edit_->verticalScrollBar();
    bar->setValue(bar->maximum());
  });
}

void LogPane::Append(const std::string& text, LogKind kind) {
  if (text.empty()) return;
  const int now = QTime::currentTime().msecsSinceStartOfDay();
  // A full pane is cleared rather than trimmed: the log starts again with this text.
  if (shownLength_ + static_cast<long long>(text.size()) >= limit_ - 1) Clear();
  entries_.push_back({kind, now, text});
  Show(entries_.back());
}

void LogPane::Show(const Entry& entry) {
  const std::string stamp = timestamps_ ? LogStamp(entry.msecsOfDay) : std::string();
  QString shown = QString::fromStdString(LogDisplayPiece(entry.text, entry.kind, flow_, stamp));
  const qsizetype room = static_cast<qsizetype>(limit_) - shownLength_;
  if (room <= 0 || shown.isEmpty()) return;
  if (shown.size() > room) shown.truncate(room);
  // The view follows new lines unless the user scrolled up to read; it moves once for a burst of
  // appends, when the event loop comes round.
  if (!follow_.isActive()) {
    const QScrollBar* bar = edit_->verticalScrollBar();
    if (bar->value() >= bar->maximum() - 2) follow_.start();
  }
  QTextCursor cursor(edit_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(shown, FormatOf(entry.kind));
  shownLength_ += static_cast<int>(shown.size());
}

void LogPane::Clear() {
  entries_.clear();
  flow_ = {};
  shownLength_ = 0;
  edit_->clear();
}

void LogPane::SetTimestamps(bool on) {
  if (on == timestamps_) return;
  timestamps_ = on;
  if (timestampBox_ && timestampBox_->isChecked() != on) timestampBox_->setChecked(on);
  const std::vector<Entry> entries = std::move(entries_);
  Clear();
  entries_ = entries;
  for (const Entry& entry : entries_) Show(entry);
}

bool LogPane::Find(const QString& text, bool backward) {
  if (text.isEmpty()) return false;
  const QTextDocument::FindFlags flags =
      backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  QTextDocument* doc = edit_->document();
  QTextCursor found = doc->find(text, edit_->textCursor(), flags);
  if (found.isNull()) {
    QTextCursor from(doc);
    if (backward) from.movePosition(QTextCursor::End);
    found = doc->find(text, from, flags);
  }
  if (found.isNull()) {
    QTextCursor cursor = edit_->textCursor();
    cursor.clearSelection();
    edit_->setTextCursor(cursor);
    return false;
  }
  edit_->setTextCursor(found);
  edit_->ensureCursorVisible();
  return true;
}

bool LogPane::SaveTo(const std::string& path, std::string* error) const {
  const std::string bytes = edit_->toPlainText().toStdString() + "\n";
  return WriteFileAtomically(path, bytes, error);
}

std::string LogPane::AskSavePath() const {
  if (askSavePath) return askSavePath();
  const QString name = QDir::home().filePath(
      "dtu-log-" + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + ".txt");
  return QFileDialog::getSaveFileName(edit_->window(), Text("SaveLogTitle"), name,
                                      Text("SaveLogFilter"))
      .toStdString();
}

void LogPane::OnSaveClicked() {
  const std::string path = AskSavePath();
  if (path.empty()) return;
  std::string error;
  if (SaveTo(path, &error)) {
    if (savedNotice) savedNotice(path);
  } else if (saveFailed) {
    saveFailed(path + (error.empty() ? "" : ": " + error));
  }
}

void LogPane::InstallTools(QBoxLayout* tools) {
  QWidget* parent = tools->parentWidget();
  timestampBox_ = new QCheckBox(Text("Timestamps"), parent);
  timestampBox_->setObjectName("LogTimestamps");
  timestampBox_->setToolTip(Text("TimestampsTip"));
  QObject::connect(timestampBox_, &QCheckBox::toggled, [this](bool on) { SetTimestamps(on); });

  findBox_ = new QLineEdit(parent);
  findBox_->setObjectName("LogFind");
  findBox_->setPlaceholderText(Text("FindPlaceholder"));
  findBox_->setClearButtonEnabled(true);
  findBox_->setMaximumWidth(220);
  auto markFound = [this](bool found) {
    findBox_->setStyleSheet(found || findBox_->text().isEmpty() ? QString()
                                                                : "background: #fee2e2;");
  };
  QObject::connect(findBox_, &QLineEdit::textEdited, [this, markFound](const QString& text) {
    // Typing searches again from the start of the current match.
    QTextCursor cursor = edit_->textCursor();
    cursor.setPosition(cursor.selectionStart());
    edit_->setTextCursor(cursor);
    markFound(Find(text));
  });
  QObject::connect(findBox_, &QLineEdit::returnPressed,
                   [this, markFound] { markFound(Find(findBox_->text())); });

  saveButton_ = new QPushButton(Text("SaveLog"), parent);
  saveButton_->setObjectName("SaveLog");
  saveButton_->setToolTip(Text("SaveLogTip"));
  QObject::connect(saveButton_, &QPushButton::clicked, [this] { OnSaveClicked(); });

  tools->insertWidget(0, timestampBox_);
  tools->insertWidget(1, findBox_, 1);
  tools->insertWidget(2, saveButton_);
}

QSplitter* LogPane::InstallSplitter(QWidget* upper, QWidget* lower) {
  QWidget* parent = upper ? upper->parentWidget() : nullptr;
  auto* layout = parent ? qobject_cast<QBoxLayout*>(parent->layout()) : nullptr;
  if (!layout || !lower || lower->parentWidget() != parent) return nullptr;
  const int at = layout->indexOf(upper);
  const int lowerAt = layout->indexOf(lower);
  if (at < 0 || lowerAt <= at) return nullptr;
  const int lowerHeight = lower->height() > 0 ? lower->height() : lower->maximumHeight();
  // The spacing between the two goes; the splitter's handle takes its place.
  for (int i = lowerAt - 1; i > at; --i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item && item->spacerItem()) delete layout->takeAt(i);
  }
  auto* splitter = new QSplitter(Qt::Vertical, parent);
  splitter->setObjectName("LogSplitter");
  splitter->setChildrenCollapsible(false);
  splitter->setHandleWidth(12);
  layout->insertWidget(at, splitter, 1);
  splitter->addWidget(upper);
  splitter->addWidget(lower);
  lower->setMinimumHeight(90);
  lower->setMaximumHeight(QWIDGETSIZE_MAX);
  upper->setMinimumHeight(120);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 0);
  splitter->setSizes({1000, lowerHeight > 0 && lowerHeight < 2000 ? lowerHeight : 200});
  return splitter;
}
