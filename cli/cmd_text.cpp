// tarmin-cli text ID / catalogue: the interpretation texts of the built-in catalogue (UTF-8).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "chart/Catalogue.h"
#include "cli/Cli.h"

namespace {
int runText(const cli::Args& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: tarmin-cli text ID\n");
        return 2;
    }
    char* end = nullptr;
    const long id = std::strtol(args[0].c_str(), &end, 10);
    if (args[0].empty() || *end != '\0' || id < 0 || id > 65535) {
        std::fprintf(stderr, "usage: tarmin-cli text ID\n");
        return 2;
    }
    std::printf("%s\n", catalogue::text(static_cast<uint16_t>(id)).c_str());
    return 0;
}

int runCatalogue(const cli::Args& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: tarmin-cli catalogue\n");
        return 2;
    }
    for (const uint16_t id : catalogue::identifiers()) {
        std::string t = catalogue::text(id);
        std::string escaped;
        for (const char c : t) {
            if (c == '\n') escaped += "\\n";
            else if (c != '\r') escaped += c;
        }
        std::printf("%u\t%s\n", static_cast<unsigned>(id), escaped.c_str());
    }
    return 0;
}
}  // namespace

TARMIN_CLI_COMMAND(text, "text", "text ID", "one interpretation text of the catalogue (empty when absent)",
                   runText);
TARMIN_CLI_COMMAND(catalogue, "catalogue", "catalogue",
                   "every catalogue entry as id<TAB>text, line breaks written as \\n", runCatalogue);
