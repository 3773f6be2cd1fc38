// Program start helpers shared by main() and the tests.
#pragma once
#include <exception>
#include <string>

#include "platform/core/UiServices.h"

// The application's title, also the main window's caption.
inline constexpr const char* kApplicationTitle = "Tarmin天文占星 3.6";

// Shows an error that escaped a command or the event loop in the application's standard error
// box: the message of a standard error, an empty message for anything else.
void showEscapedError(UiServices& ui, std::exception_ptr error);
