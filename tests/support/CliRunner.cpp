#include "tests/support/CliRunner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/support/TestData.h"

namespace testcli {
namespace {
std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

std::string programPath() { return testdata::stageDir() + "tarmin-cli"; }

bool built() { return std::ifstream(programPath()).good(); }

Result run(const std::string& args, const std::string& input) {
    static const std::string dir = testdata::freshTempDir("cli");
    const std::string in = dir + "in.txt", out = dir + "out.txt", err = dir + "err.txt";
    std::ofstream(in, std::ios::binary) << input;
    const std::string cmd = "QT_QPA_PLATFORM=offscreen '" + programPath() + "' " + args + " <'" +
                            in + "' >'" + out + "' 2>'" + err + "'";
    Result r;
    const int rc = std::system(cmd.c_str());
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    return v;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> f;
    std::istringstream in(line);
    for (std::string x; std::getline(in, x, '\t');) f.push_back(x);
    return f;
}
}  // namespace testcli
