// quorvane: renders audio files through the Quorvane plug-in from the
// command line, hosting it exactly as a DAW does.
#include "commands/commandline.h"
#include "commands/commands.h"
#include "support/hostconsole.h"
#include "support/hosterror.h"
#include "support/interrupt.h"
#include "version.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    using namespace Quorvane;
    installInterruptHandler();
    try
    {
        Options options = parseCommandLine(argc, argv);
        if (options.quiet)
            silencePluginDiagnostics();
        switch (options.command)
        {
        case Command::render:
            return runRender(options);
        case Command::params:
            return runParams(options);
        case Command::info:
            return runInfo(options);
        case Command::demo:
            return runDemo(options);
        case Command::editor:
            return runEditor(options);
        case Command::presets:
            return runPresets(options);
        case Command::makePresets:
            return runMakePresets(options);
        case Command::version:
            std::printf("quorvane %s\n", QUORVANE_VERSION);
            return kExitOk;
        case Command::help:
            std::fputs(usageText(), stdout);
            return kExitOk;
        }
    }
    catch (const HostError& error)
    {
        std::fflush(stdout);
        std::fprintf(hostMessages(), "quorvane: %s\n", error.what());
        return error.code();
    }
    catch (const std::exception& error)
    {
        std::fflush(stdout);
        std::fprintf(hostMessages(), "quorvane: internal error: %s\n", error.what());
        return kExitInternal;
    }
    return kExitInternal;
}
