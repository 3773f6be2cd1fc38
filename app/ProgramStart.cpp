#include "app/ProgramStart.h"

#include <stdexcept>

void showEscapedError(UiServices& ui, std::exception_ptr error) {
    if (!error) return;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        ui.showError(e.what());
    } catch (...) {
        ui.showError(std::string());
    }
}
