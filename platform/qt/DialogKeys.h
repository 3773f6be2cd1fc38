// The keyboard rule of every window of the program: Enter presses the push or tool button that
// has the focus (取消 cancels, 默认值 restores the defaults); only when the focus is elsewhere
// (a field, a list, a check box) does Enter reach the window and press its default button.
// Escape stays the dialog's: it cancels.
#pragma once

class QObject;

// Installs the rule on the application object (once; later calls do nothing). Call after the
// application object exists.
void installDialogKeys();

// The rule itself, for one key event sent to `receiver`: true when it pressed a button.
bool pressFocusedButton(QObject* receiver, int key, int modifiers);
