// What every auxiliary dialog shares: its "宋体" face at a given size, and the finish that makes
// it fixed-size and centred on the screen.
#pragma once
#include <QFont>

class QDialog;

// "宋体" at `points` (9 or 10.5), optionally bold.
QFont songFont(double points, bool bold = false);
// Fixes the dialog at the size its layout asks for and centres it on the screen it opens on.
void fixAndCentre(QDialog* dialog);
