// --hant tw|hk: the command's printed texts, the texts it draws and the text files it writes in
// traditional characters for Taiwan or Hong Kong. Without it everything stays as the engines
// write it.
#pragma once
#include <string>
#include <vector>

#include "platform/core/TextScript.h"

namespace cli {
// The script of this run (simplified unless --hant was given).
ScriptConverter& script();
// Takes "--hant tw|hk" out of the arguments and sets the script; false with a message on
// stderr for a missing or unknown value.
bool takeScriptOption(std::vector<std::string>& args);
// Texts the user gave (names): printed, drawn and written as given in any script.
void keepAsTyped(const std::string& text);
const std::vector<std::string>& keptTexts();
// Runs the command; with a traditional script its standard output and error are converted
// before they are written.
int runInScript(int (*run)(const std::vector<std::string>&), const std::vector<std::string>& args);
}  // namespace cli
