#include "app/profile_model_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/title_texts.h"
#include "domain/factory_config.h"
#include "texts/language.h"

std::optional<std::string> AskProfileModel(QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromStdString(LanguageText("Profile", "ModelTitle", "")));
  auto* column = new QVBoxLayout(&dialog);
  column->addWidget(
      new QLabel(QString::fromStdString(LanguageText("Profile", "ModelPrompt", "")), &dialog));
  auto* models = new QComboBox(&dialog);
  models->setObjectName("ProfileModels");
  for (const ProfileModel& model : ProfileModels()) {
    const std::string text = LanguageText("Profile", std::string("Model_") + model.name, "");
    models->addItem(QString::fromStdString(text.empty() ? model.name : text),
                    QString::fromLatin1(model.name));
  }
  column->addWidget(models);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)
      ->setText(QString::fromStdString(LanguageText("Profile", "Create", "")));
  buttons->button(QDialogButtonBox::Cancel)
      ->setText(QString::fromStdString(LanguageText("Profile", "Cancel", "")));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  column->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return models->currentData().toString().toStdString();
}
