// Subcommands of tarmin-cli register themselves here; each lives in its own cmd_*.cpp.
// Exit status: 0 success, 1 input refused (the program's message on stderr), 2 usage error.
#pragma once
#include <string>
#include <vector>

namespace cli {
using Args = std::vector<std::string>;  // arguments after the subcommand name
using Handler = int (*)(const Args& args);

struct Command {
    const char* name;
    const char* usage;    // e.g. "positions [\"YYYY-MM-DD HH:MM\"]"
    const char* summary;  // one line
    Handler run;
};

// Called from static registrars; returns true so it can initialise a static.
bool registerCommand(const Command& c);
const std::vector<Command>& commands();

// Prints "usage: tarmin-cli <usage>" on stderr and returns 2.
int usageError(const Command& c);
}  // namespace cli

#define TARMIN_CLI_COMMAND(id, name, usage, summary, fn) \
    static const bool id##_registered = ::cli::registerCommand({name, usage, summary, fn})
