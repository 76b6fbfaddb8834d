#include "app/confirmations.h"

#include <QPushButton>

#include "app/title_texts.h"
#include "texts/language.h"

namespace {

std::string Line(const char* key, const std::string& value) {
  return "\r\n" + LanguageText("Everyday", key, ": ") + value;
}

}  // namespace

std::string FactoryResetQuestion(const std::string& deviceType, const std::string& port) {
  const std::string type =
      deviceType.empty() ? LanguageText("Everyday", "DeviceNotRead", "") : deviceType;
  return LanguageText("Everyday", "FactoryAsk", "\r\n") + Line("Device", type) +
         (port.empty() ? std::string() : Line("Port", port));
}

std::string LanguageSwitchQuestion(const std::string& port) {
  return LanguageText("Everyday", "SwitchAsk", "\r\n") +
         (port.empty() ? std::string() : Line("Port", port));
}

std::unique_ptr<QMessageBox> MakeQuestionBox(QWidget* parent, const std::string& text) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setIcon(QMessageBox::Warning);
  box->setWindowTitle(QString::fromLatin1(kProgramName));
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  box->setText(shown);
  box->addButton(QString::fromStdString(LanguageText("Everyday", "Yes", "")), QMessageBox::YesRole);
  QPushButton* no = box->addButton(QString::fromStdString(LanguageText("Everyday", "No", "")),
                                   QMessageBox::NoRole);
  box->setDefaultButton(no);
  box->setEscapeButton(no);
  return box;
}

bool AskQuestion(QWidget* parent, const std::string& text) {
  std::unique_ptr<QMessageBox> box = MakeQuestionBox(parent, text);
  box->exec();
  return box->buttonRole(box->clickedButton()) == QMessageBox::YesRole;
}
