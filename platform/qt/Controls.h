// Small pieces every window builds its controls with: fixed lists, flat buttons with hints,
// labelled fields, accessible names, and the program's fonts.
#pragma once
#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QToolButton;
class QWidget;

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline QString qs(const char* s) { return QString::fromUtf8(s); }

// A drop-down list the user picks from but cannot type into. `name` is the object name and,
// unless `accessible` is given, also its accessible name.
QComboBox* fixedList(QWidget* parent, const char* name, const char* accessible = nullptr);
void fillList(QComboBox* list, const std::vector<std::string>& items);
// A flat button; its hint is its tooltip and its accessible name (a screen reader and the
// end-to-end robot find it by the hint, which stays while a caption such as "存新" changes).
QToolButton* flatButton(QWidget* parent, const char* name, const char* caption, const char* hint);
// A label in front of a field: the label is the field's buddy, and the field takes the label's
// text as its accessible name.
QLabel* labelFor(QWidget* field, const char* text, QWidget* parent);
// Sets the accessible name of a control.
void nameControl(QWidget* control, const char* accessibleName);

// "宋体" and its aliases resolve to the installed Song face (AR PL UMing) in every widget and
// document, so Latin letters and digits in Chinese text come from the same face. Call once after
// the application object exists.
void installFontSubstitutes();
