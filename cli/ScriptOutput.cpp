#include "cli/ScriptOutput.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "platform/core/ScriptRichText.h"
#include "platform/opencc/OpenccScript.h"

namespace cli {
namespace {
OpenccScript& converter() {
    static OpenccScript s;
    return s;
}

// One standard stream sent to a temporary file while the command runs.
class Captured {
public:
    explicit Captured(int fd) : fd_(fd) {
        file_ = std::tmpfile();
        if (!file_) return;
        saved_ = dup(fd_);
        if (saved_ < 0 || dup2(fileno(file_), fd_) < 0) {
            std::fclose(file_);
            file_ = nullptr;
        }
    }
    // The stream back where it was; what the command wrote.
    std::string release() {
        if (!file_) return std::string();
        dup2(saved_, fd_);
        close(saved_);
        std::string text;
        std::rewind(file_);
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0) text.append(buf, n);
        std::fclose(file_);
        file_ = nullptr;
        return text;
    }

private:
    int fd_;
    int saved_ = -1;
    std::FILE* file_ = nullptr;
};
}  // namespace

ScriptConverter& script() { return converter(); }

namespace {
std::vector<std::string>& kept() {
    static std::vector<std::string> k;
    return k;
}
}  // namespace

void keepAsTyped(const std::string& text) {
    if (!text.empty()) kept().push_back(text);
}
const std::vector<std::string>& keptTexts() { return kept(); }

bool takeScriptOption(std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--hant") continue;
        TextScript s;
        if (i + 1 >= args.size() || !textScriptFromOption(args[i + 1], s)) {
            std::fprintf(stderr, "tarmin-cli: --hant takes tw or hk\n");
            return false;
        }
        converter().setScript(s);
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

int runInScript(int (*run)(const std::vector<std::string>&), const std::vector<std::string>& args) {
    if (converter().script() == TextScript::Simplified) return run(args);
    std::cout.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    Captured out(1), err(2);
    const int status = run(args);
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    const std::string errText = shownByLines(converter(), err.release(), kept());
    const std::string outText = shownByLines(converter(), out.release(), kept());
    std::fwrite(errText.data(), 1, errText.size(), stderr);
    std::fwrite(outText.data(), 1, outText.size(), stdout);
    return status;
}
}  // namespace cli
