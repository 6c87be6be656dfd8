#include "cli/CliApp.h"

#include <CLI/CLI.hpp>
#include <exception>
#include <ostream>

namespace kv {

int CliContext::fail(const std::string& message, int exitStatus) {
    err << "korvaliser-cli: " << message << '\n';
    return exitStatus;
}

void setCommandBody(CLI::App& command, CliContext& context, std::function<int()> body) {
    command.callback([&context, body = std::move(body)] { context.status = body(); });
}

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const std::vector<CommandGroup>& groups) {
    CLI::App app{"Works on Korvalis KV520/KV420 preset bank files (.ovk) without the desktop program.",
                 "korvaliser-cli"};
    app.require_subcommand(1);
    CliContext context{out, err};
    for (const CommandGroup& group : groups) group(app, context);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);  // prints the help or the parse error
        return code == 0 ? kExitOk : kExitUsage;
    } catch (const std::exception& e) {
        return context.fail(e.what());
    }
    return context.status;
}

}  // namespace kv
