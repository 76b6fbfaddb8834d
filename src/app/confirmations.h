// Questions asked before an action that cannot be undone: restoring the factory settings and the
// language switch's restart while a port is open. The texts come from the language file.
#pragma once

#include <QMessageBox>

#include <memory>
#include <string>

class QWidget;

// The factory reset question, naming the device: its type once a read has shown it, and the
// port it is on.
std::string FactoryResetQuestion(const std::string& deviceType, const std::string& port);

// The language switch question: the restart closes the connection on `port`.
std::string LanguageSwitchQuestion(const std::string& port);

// The question as a modal box with the language file's "Yes" and "No"; "No" is the default, so a
// stray Enter or Escape answers no.
std::unique_ptr<QMessageBox> MakeQuestionBox(QWidget* parent, const std::string& text);

// Asks and waits for the answer; true only for "Yes".
bool AskQuestion(QWidget* parent, const std::string& text);
