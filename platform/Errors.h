// The error numbers that the layers pass around: errno values, the same names
// on every system. Windows' C library lacks the two below; they get numbers of
// their own there, apart from every errno it has.
#pragma once

#include <cerrno>

#ifndef ESTALE
#define ESTALE 200  // the file changed under us
#endif
#ifndef EDQUOT
#define EDQUOT 201  // the user's quota is used up
#endif
