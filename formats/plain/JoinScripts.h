// The scripts that rebuild a plain set where Parcelwise is not installed,
// written beside the parts: NAME.join.sh for any POSIX shell (checks the parts
// with sha256sum or md5sum when it is there, then cat) and NAME.join.cmd for
// Windows' cmd (certutil -hashfile, then copy /b). Both say what they do, run
// from their own folder, and never write over an existing file.
#pragma once

#include <string>
#include <vector>

#include "formats/plain/PlainSet.h"

struct ScriptPart {
    std::string name;       // the part's file name
    std::string hexDigest;  // lower-case hexadecimal
};

// The shell script that rebuilds `name` from `parts`, checked against the
// checksum file `checksumFile` (a file name beside them) of `digest`.
std::string PosixJoinScript(const std::string& name, const std::vector<ScriptPart>& parts,
                            PlainDigest digest, const std::string& checksumFile);
// The same for cmd, with CR LF line ends; the digests are in the script.
std::string WindowsJoinScript(const std::string& name, const std::vector<ScriptPart>& parts,
                              PlainDigest digest);
// A word of the shell, in single quotes.
std::string ShellQuoted(const std::string& word);
