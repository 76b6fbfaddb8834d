#include "enter_click.h"

#include <QAbstractButton>
#include <QKeyEvent>

bool ClickOnEnter(QAbstractButton& button, QKeyEvent* event) {
  const int key = event->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  // The keypad's Enter carries the keypad modifier; anything else is another shortcut.
  if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  event->accept();
  if (!event->isAutoRepeat()) button.click();
  return true;
}
