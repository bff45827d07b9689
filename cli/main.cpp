// pcw: the command-line front end. Everything lives in the pcw_cli library.
#include <iostream>

#include "cli/Commands.h"
#include "platform/Env.h"
#include "platform/Registry.h"

int main(int argc, char** argv) {
    cli::Context ctx{std::cout, std::cerr};
    ctx.defaults = cli::ReadDefaults(platform::RegistryFolder());
    ctx.progress = platform::IsTerminal(2);
    return cli::Run(cli::Args(argv + 1, argv + argc), ctx);
}
