// What every Win32 call of the platform layer needs: paths in UTF-16 (the
// program speaks UTF-8 everywhere else), and Win32 error codes turned into the
// errno values that the layers above understand.
#pragma once

#include <string>
#include <string_view>

#include <windows.h>

namespace platform::win {

// UTF-8 to UTF-16, and back; invalid sequences become U+FFFD.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);

// The errno value that tells the same reason as a Win32 error code.
int ErrnoOf(DWORD error);
// ErrnoOf(GetLastError()).
int LastErrno();

// The standard handle of a descriptor: 0 input, 1 output, 2 errors;
// INVALID_HANDLE_VALUE for any other.
HANDLE StdHandleOf(int fd);

}  // namespace platform::win
