#pragma once
// The korvaliser-cli shell: one CLI11 application to which each group of commands adds
// its subcommands (the offline bank commands, the link commands). main() names the
// groups; tests run the same entry point on their own streams.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace kv {

// Exit statuses: a command's own failure (bad file, refused value) is 1, a bad
// command line is 2.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// What a command writes to and where it leaves its exit status.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    int status = kExitOk;

    // Writes "korvaliser-cli: <message>" to err and gives the status to return.
    int fail(const std::string& message, int status = kExitFailure);
};

// Adds a group's subcommands; each subcommand's body runs after a successful parse.
using CommandGroup = std::function<void(CLI::App& app, CliContext& context)>;

// Wraps a subcommand body so that its result becomes the exit status.
void setCommandBody(CLI::App& command, CliContext& context, std::function<int()> body);

// Parses argv (argv[0] is the program name) and runs the chosen command. Help goes to
// out with status 0; parse errors go to err with status 2.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           const std::vector<CommandGroup>& groups);

}  // namespace kv
