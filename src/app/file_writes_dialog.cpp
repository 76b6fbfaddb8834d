#include "app/file_writes_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "texts/language.h"

namespace {

QString Text(const char* key) {
  return QString::fromStdString(LanguageText("onLoadFrommFile", key, ""));
}

}  // namespace

FileWritesChoice AskFileWrites(QWidget* parent, const std::vector<std::string>& lines) {
  QDialog dialog(parent);
  dialog.setWindowTitle(Text("AskTitle"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(Text("AskText")));
  auto* list = new QPlainTextEdit;
  list->setReadOnly(true);
  list->setLineWrapMode(QPlainTextEdit::NoWrap);
  QString shown;
  for (const std::string& line : lines) shown += QString::fromStdString(line) + '\n';
  list->setPlainText(shown);
  list->setMinimumSize(560, 240);
  layout->addWidget(list);

  auto* buttons = new QDialogButtonBox;
  QPushButton* write = buttons->addButton(Text("Write"), QDialogButtonBox::AcceptRole);
  QPushButton* formOnly = buttons->addButton(Text("FormOnlyButton"), QDialogButtonBox::ActionRole);
  QPushButton* cancel = buttons->addButton(Text("Cancel"), QDialogButtonBox::RejectRole);
  // Nothing is written by a stray Enter: the safe answer is the default.
  write->setAutoDefault(false);
  formOnly->setAutoDefault(false);
  cancel->setDefault(true);
  FileWritesChoice choice = FileWritesChoice::kCancel;
  QObject::connect(write, &QPushButton::clicked, &dialog, [&] {
    choice = FileWritesChoice::kWrite;
    dialog.accept();
  });
  QObject::connect(formOnly, &QPushButton::clicked, &dialog, [&] {
    choice = FileWritesChoice::kFormOnly;
    dialog.accept();
  });
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.exec();
  return choice;
}
