// tarmin-cli: the program's engines without a window. UTF-8 in and out.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "cli/Cli.h"
#include "cli/ScriptOutput.h"

namespace cli {
namespace {
std::vector<Command>& registry() {
    static std::vector<Command> r;
    return r;
}
}  // namespace

bool registerCommand(const Command& c) {
    registry().push_back(c);
    return true;
}

const std::vector<Command>& commands() {
    auto& r = registry();
    std::sort(r.begin(), r.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    return r;
}

int usageError(const Command& c) {
    std::fprintf(stderr, "usage: tarmin-cli %s\n", c.usage);
    return 2;
}
}  // namespace cli

namespace {
void printHelp(std::FILE* out) {
    std::fprintf(out,
                 "tarmin-cli - Tarmin天文占星 3.6 engines from the command line\n\n"
                 "usage: tarmin-cli <command> [arguments]\n\n"
                 "commands:\n");
    for (const auto& c : cli::commands()) std::fprintf(out, "  %-60s %s\n", c.usage, c.summary);
    std::fprintf(out,
                 "\nDates and times are UTC+8 civil time with astronomical years (0 = 1 BC).\n"
                 "Exit status: 0 success, 1 input refused, 2 usage error.\n"
                 "Every command takes --hant tw|hk: its Chinese texts, drawings and written text\n"
                 "files in traditional characters for Taiwan or Hong Kong.\n");
}
}  // namespace

namespace {
// A command's exit status, or 1 when its output could not all be written (a full disk, a
// file-size limit): a cut-off result must never look like a whole one.
int finished(int status) {
    std::cout.flush();
    const bool written = !std::cout.fail() && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (written) return status;
    std::fprintf(stderr, "tarmin-cli: cannot write the output\n");
    return status == 0 ? 1 : status;
}
}  // namespace

int main(int argc, char** argv) {
    // Under a file-size limit a write past it fails with EFBIG, which is reported, instead of
    // the signal ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 2) {
        printHelp(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(stdout);
        return finished(0);
    }
    for (const auto& c : cli::commands()) {
        if (name != c.name) continue;
        cli::Args args(argv + 2, argv + argc);
        if (!cli::takeScriptOption(args)) return 2;
        return finished(cli::runInScript(c.run, args));
    }
    std::fprintf(stderr, "tarmin-cli: unknown command '%s' (see tarmin-cli --help)\n", name.c_str());
    return 2;
}
