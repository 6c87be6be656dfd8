#include <iostream>

#include "cli/CliApp.h"
#include "cli/LinkCommands.h"
#include "cli/OfflineCommands.h"
#include "cli/exchange/EqCommands.h"
#include "cli/tuning/AutoEqCommand.h"

int main(int argc, char** argv) {
    return kv::runCli(argc, argv, std::cout, std::cerr,
                      {kv::registerOfflineCommands, kv::registerLinkCommands, kv::registerEqCommands,
                       kv::registerTuningCommands});
}
