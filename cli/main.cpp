// chromik3-cli: the sensor from scripts. The same link, parameter transfer
// and file code as the program, without a window.
#include "cli/commands.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "cli/targets.h"

#include <iostream>
#include <iterator>

int main(int argc, char** argv) {
    cli::Options options;
    std::string error;
    cli::SetJsonOutput(cli::JsonRequested(argc, argv));
    if (!cli::ParseOptions(argc, argv, &options, &error)) {
        return cli::UsageError(error, cli::HelpText(options.command));
    }
    if (options.version || options.help) {
        if (!cli::WriteOut(options.version ? cli::VersionText() : cli::HelpText(options.command))) {
            cli::Warn("chromik3-cli: " + cli::OutputFailure());
            return cli::kExitFile;
        }
        return cli::kExitDone;
    }
    cli::InstallStopSignals();
    for (const std::string& file : options.files) {
        if (file == cli::kStdStream) {
            // Read once, before any sensor is touched (and before the runs
            // for a line of sensors, which all compare with it).
            options.stdinText.assign(std::istreambuf_iterator<char>(std::cin), {});
            if (std::cin.bad()) {
                cli::Warn("chromik3-cli: standard input could not be read");
                return cli::kExitFile;
            }
        }
    }
    if (!options.targets.empty()) {
        return cli::RunOnTargets(options);
    }
    if (options.timeout > 0) {
        cli::StartTimeout(options.timeout);
    }
    return cli::RunSensorCommandWithRuntime(argc, argv, options);
}
