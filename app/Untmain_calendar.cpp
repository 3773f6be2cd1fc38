// The perpetual calendar window, created on first use and kept.
#include "app/Untmain.h"

void TFrmMain::mnuT_wnlClick() {}
