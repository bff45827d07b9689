// pcw: the command-line front end. Everything lives in the pcw_cli library.
#include <iostream>

#include "cli/Commands.h"
#include "platform/Console.h"
#include "platform/Env.h"
#include "platform/Language.h"
#include "platform/Registry.h"
#include "platform/Signals.h"
#include "texts/Texts.h"

namespace {

int RunPcw(const cli::Args& args) {
    const platform::ConsoleStreams console;
    texts::UseLanguage(platform::UserLanguage());
    platform::IgnoreBrokenPipe();
    cli::Context ctx{std::cout, std::cerr};
    ctx.defaults = cli::ReadDefaults(platform::RegistryFolder());
    ctx.progress = platform::IsTerminal(2);
    ctx.columns = platform::TerminalColumns(2);
    ctx.consoleIsOwnAlone = platform::ConsoleIsOwnAlone;
    ctx.waitForKey = platform::WaitForKeyPress;
    return cli::Run(args, ctx);
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    return RunPcw(platform::CommandLine(argc, argv));
}
#else
int main(int argc, char** argv) {
    return RunPcw(platform::CommandLine(argc, argv));
}
#endif
