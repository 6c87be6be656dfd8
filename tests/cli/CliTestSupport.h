#pragma once
// Runs korvaliser-cli in process with chosen command groups and keeps what it printed.

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliApp.h"

namespace kv::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliRun runCliWith(const CommandGroup& group, std::vector<std::string> args) {
    args.insert(args.begin(), "korvaliser-cli");
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = runCli(static_cast<int>(argv.size()), argv.data(), out, err, {group});
    run.out = out.str();
    run.err = err.str();
    return run;
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace kv::test
