// chromik3-cli: the sensor from scripts. The same link, parameter transfer
// and file code as the program, without a window. Every sensor is worked
// on by a worker thread of its own; this thread watches them.
#include "cli/commands.h"
#include "cli/find_command.h"
#include "cli/options.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "cli/targets.h"
#include "platform/runtime.h"

#include <clocale>
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
            // Read once, before any sensor is touched (all the sensors of a
            // line compare with it).
            options.stdinText.assign(std::istreambuf_iterator<char>(std::cin), {});
            if (std::cin.bad()) {
                cli::Warn("chromik3-cli: standard input could not be read");
                return cli::kExitFile;
            }
        }
    }
    platform::InitCoreRuntime(argc, argv);
    // The run-time takes the user's locale; numbers keep their point. Set
    // before any worker starts.
    std::setlocale(LC_NUMERIC, "C");
    const int status = options.command == "find" ? cli::RunFind(options)
                       : options.targets.empty() ? cli::RunOneSensor(options)
                                                 : cli::RunOnTargets(options);
    platform::ShutdownCoreRuntime();
    return status;
}
