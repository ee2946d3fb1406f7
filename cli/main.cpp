// chromik3-cli: the sensor from scripts. The same link, parameter transfer
// and file code as the program, without a window.
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/targets.h"
#include "link/com232.h"
#include "platform/runtime.h"

#include <cstdio>

int main(int argc, char** argv) {
    cli::Options options;
    std::string error;
    if (!cli::ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "chromik3-cli: %s\n\n%s", error.c_str(),
                     cli::HelpText(options.command).c_str());
        return cli::kExitUsage;
    }
    if (options.version) {
        std::printf("chromik3-cli 4.3.0 (CHROMIK3 Scope V4.3)\n");
        return cli::kExitDone;
    }
    if (options.help) {
        std::fputs(cli::HelpText(options.command).c_str(), stdout);
        return cli::kExitDone;
    }
    cli::SetJsonOutput(options.json);
    if (!options.targets.empty()) {
        return cli::RunOnTargets(options);
    }
    platform::InitCoreRuntime(argc, argv);
    const int status = cli::RunSensorCommand(options);
    // The link's socket goes before the application object it belongs to.
    com232::CloseLink();
    platform::ShutdownCoreRuntime();
    return status;
}
