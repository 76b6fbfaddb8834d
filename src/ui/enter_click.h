// Enter on a focused button clicks it, as Space does. Qt's buttons outside dialogs leave Enter
// alone; the skin's buttons are the window's commands, so they take it.
#pragma once

class QAbstractButton;
class QKeyEvent;

// Clicks `button` for a Return or Enter key without modifiers; a held key clicks once, not once
// per repetition. True when the key was used.
bool ClickOnEnter(QAbstractButton& button, QKeyEvent* event);
