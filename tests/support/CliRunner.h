// Runs the staged tarmin-cli as a user does, for the command-line tests of every engine.
#pragma once
#include <string>
#include <vector>

namespace testcli {
struct Result {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

std::string programPath();  // the staged tarmin-cli
bool built();
// args are already quoted for the shell; input goes to standard input.
Result run(const std::string& args, const std::string& input = "");
std::vector<std::string> lines(const std::string& text);
std::vector<std::string> fields(const std::string& line);  // split at tabs
}  // namespace testcli

#define REQUIRE_CLI()                                                       \
    do {                                                                    \
        if (!testcli::built()) GTEST_SKIP() << "tarmin-cli is not built";   \
    } while (0)
