#include "formats/plain/JoinScripts.h"

#include "texts/Texts.h"

using texts::Say;
using texts::TextId;

namespace {

std::string CheckerOf(PlainDigest digest) {
    return digest == PlainDigest::Md5 ? "md5sum" : "sha256sum";
}

// A text for cmd's echo: its special characters escaped with ^, % doubled.
std::string CmdEcho(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '%')
            out += "%%";
        else if (c == '&' || c == '|' || c == '<' || c == '>' || c == '^' || c == '(' || c == ')')
            out += std::string("^") + c;
        else
            out += c;
    }
    return out;
}

// A name inside cmd's double quotes: only % is special there.
std::string CmdQuoted(const std::string& name) {
    std::string out = "\"";
    for (const char c : name) out += c == '%' ? std::string("%%") : std::string(1, c);
    return out + "\"";
}

}  // namespace

std::string ShellQuoted(const std::string& word) {
    std::string out = "'";
    for (const char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string PosixJoinScript(const std::string& name, const std::vector<ScriptPart>& parts,
                            PlainDigest digest, const std::string& checksumFile) {
    const std::string checker = CheckerOf(digest);
    const std::string q = ShellQuoted(name);
    std::string list;
    for (const ScriptPart& part : parts) list += " \\\n    " + ShellQuoted(part.name);
    std::string s = "#!/bin/sh\n";
    s += "# " + Say(TextId::ScriptSays, {name, std::to_string(parts.size())}) + "\n";
    s += "set -u\ncd \"$(dirname \"$0\")\" || exit 1\n";
    s +=
        "echo " + ShellQuoted(Say(TextId::ScriptSays, {name, std::to_string(parts.size())})) + "\n";
    s += "if [ -e " + q + " ]; then\n    echo " +
         ShellQuoted(Say(TextId::ScriptFileExists, {name})) + " >&2\n    exit 1\nfi\n";
    s += "if command -v " + checker + " >/dev/null 2>&1; then\n";
    s += "    echo " + ShellQuoted(Say(TextId::ScriptChecking, {checker})) + "\n";
    // Each part's line of the checksum file, checked alone: the whole file's
    // line names a file that is not there yet.
    for (const ScriptPart& part : parts)
        s += "    printf '%s  %s\\n' " + part.hexDigest + " " + ShellQuoted(part.name) + " | " +
             checker + " -c --quiet - >/dev/null 2>&1 || {\n        echo " +
             ShellQuoted(Say(TextId::ScriptPartDamaged, {part.name})) +
             " >&2\n        exit 1\n    }\n";
    s += "else\n    echo " + ShellQuoted(Say(TextId::ScriptNoChecker, {checker})) + "\nfi\n";
    s += "echo " + ShellQuoted(Say(TextId::ScriptJoining, {name})) + "\n";
    // noclobber: the file is created only if nothing took the name meanwhile.
    s += "set -C\nif ! cat" + list + " >" + q + "; then\n";
    s +=
        "    echo " + ShellQuoted(Say(TextId::ScriptJoinFailed, {name})) + " >&2\n    exit 1\nfi\n";
    s += "if command -v " + checker + " >/dev/null 2>&1 && [ -f " + ShellQuoted(checksumFile) +
         " ]; then\n    " + checker + " -c --quiet " + ShellQuoted(checksumFile) +
         " || exit 1\nfi\n";
    s += "echo " + ShellQuoted(Say(TextId::ScriptDone, {name})) + "\n";
    return s;
}

std::string WindowsJoinScript(const std::string& name, const std::vector<ScriptPart>& parts,
                              PlainDigest digest) {
    const std::string algorithm = digest == PlainDigest::Md5 ? "MD5" : "SHA256";
    const std::string q = CmdQuoted(name);
    std::string s = "@echo off\r\nsetlocal\r\n";
    s += "rem " + CmdEcho(Say(TextId::ScriptSays, {name, std::to_string(parts.size())})) + "\r\n";
    // UTF-8, so that the accents of the messages and the names come out.
    s += "chcp 65001 >nul 2>nul\r\ncd /d \"%~dp0\"\r\n";
    s += "echo " + CmdEcho(Say(TextId::ScriptSays, {name, std::to_string(parts.size())})) + "\r\n";
    s += "if exist " + q + " (\r\n    echo " + CmdEcho(Say(TextId::ScriptFileExists, {name})) +
         "\r\n    exit /b 1\r\n)\r\n";
    // A certutil that gives no digest of the script itself is no checker
    // (absent, or a stand-in such as Wine's).
    s += "certutil -hashfile \"%~f0\" " + algorithm +
         " 2>nul | findstr /r "
         "/c:\"[0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F][0-9a-fA-F]\" "
         ">nul\r\nif errorlevel 1 (\r\n    echo " +
         CmdEcho(Say(TextId::ScriptNoChecker, {"certutil"})) + "\r\n    goto join\r\n)\r\n";
    s += "echo " + CmdEcho(Say(TextId::ScriptChecking, {"certutil"})) + "\r\n";
    for (const ScriptPart& part : parts)
        s += "certutil -hashfile " + CmdQuoted(part.name) + " " + algorithm +
             " | findstr /i /c:\"" + part.hexDigest + "\" >nul\r\nif errorlevel 1 (\r\n    echo " +
             CmdEcho(Say(TextId::ScriptPartDamaged, {part.name})) + "\r\n    exit /b 1\r\n)\r\n";
    s += ":join\r\necho " + CmdEcho(Say(TextId::ScriptJoining, {name})) + "\r\n";
    std::string sources;
    for (const ScriptPart& part : parts)
        sources += (sources.empty() ? "" : " + ") + CmdQuoted(part.name);
    // `if errorlevel` rather than ||, which Wine's cmd does not follow after a redirection.
    s += "copy /b " + sources + " " + q + " >nul\r\nif errorlevel 1 (\r\n    echo " +
         CmdEcho(Say(TextId::ScriptJoinFailed, {name})) + "\r\n    exit /b 1\r\n)\r\n";
    s += "echo " + CmdEcho(Say(TextId::ScriptDone, {name})) + "\r\n";
    return s;
}
