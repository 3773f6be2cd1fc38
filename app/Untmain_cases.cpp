// The case commands of the main window: 新建, 存新/存旧 and "保存命例", and the file menu's import,
// export and compaction of the case store.
#include "app/Untmain.h"

void TFrmMain::BtoNewClick() {}
void TFrmMain::SbtoSaveClick() {}
void TFrmMain::N4Click() { SbtoSaveClick(); }
void TFrmMain::N7Click() {}
void TFrmMain::N8Click() {}
void TFrmMain::N9Click() {}
