// The subcommands of pcw. Each takes the arguments after its own name and
// returns the exit status: 0 done, 1 refused or failed, 2 wrong usage.
#pragma once

#include "cli/Common.h"

namespace cli {

// The whole command line after the program's name.
int Run(const Args& args, Context& ctx);

int Split(const Args& args, Context& ctx);
// split --plain: parts of data alone, with a checksum file on request.
int SplitPlain(const Parsed& parsed, Context& ctx);
int Join(const Args& args, Context& ctx);
int Info(const Args& args, Context& ctx);
// Checks every part of a set without writing anything: 0 when it is whole.
int Verify(const Args& args, Context& ctx);
int Convert(const Args& args, Context& ctx);
// Writes recovery parts for a whole set of any kind.
int Protect(const Args& args, Context& ctx);
// Rebuilds the lost parts of a set from its recovery parts.
int Repair(const Args& args, Context& ctx);

// The text of --help, with the defaults in force.
std::string HelpText(const CliDefaults& defaults);

}  // namespace cli
