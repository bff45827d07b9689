#!/usr/bin/env bash
# The README.txt of the Windows zip as Notepad reads it: UTF-8 announced by its
# byte-order mark (without it, older Notepads take the bytes for the ANSI code
# page and show "…" as "â€¦"), Windows line ends only, and both programs named.
# Every option that its examples give is one that pcw's help offers.
# Usage: windows-readme-test.sh README.txt PCW
set -euo pipefail
readme=$1
pcw=$2
python3 - "$readme" "$pcw" <<'P'
import re, subprocess, sys

readme, pcw = sys.argv[1:]
data = open(readme, "rb").read()
problems = []
if not data.startswith(b"\xef\xbb\xbf"):
    problems.append("no UTF-8 byte-order mark")
try:
    text = data[3:].decode("utf-8")
except UnicodeDecodeError as error:
    problems.append(f"not UTF-8: {error}")
    text = data[3:].decode("utf-8", "replace")
if not text.endswith("\r\n"):
    problems.append("the last line has no CRLF")
for number, line in enumerate(text.split("\r\n")[:-1], 1):
    if "\r" in line or "\n" in line:
        problems.append(f"line {number}: a line end other than CRLF")
for program in ("pcw.exe", "parcelwise.exe"):
    if program not in text:
        problems.append(f"{program} is not named")

# The examples, as typed in the Command Prompt, against what pcw says it takes.
help_text = {language: subprocess.run([pcw, "--help"], capture_output=True, text=True, check=True,
                                      env={"LC_ALL": "C.UTF-8"} if language == "fr" else
                                      {"LANG": "en_US.UTF-8", "LANGUAGE": "en"}).stdout
             for language in ("fr", "en")}
examples = [line.strip() for line in text.split("\r\n") if line.strip().startswith("pcw ")]
if not any(line.startswith("pcw split ") for line in examples) or \
        not any(line.startswith("pcw join ") for line in examples):
    problems.append("no example of a split and of a join")
for line in examples:
    words = line.split()
    for language, shown in help_text.items():
        if words[1] != "--help" and f"  pcw {words[1]} " not in shown:
            problems.append(f"{line!r}: no command {words[1]} in the {language} help")
        for option in re.findall(r"(?<!\S)--[a-z0-9-]+", line):
            if not re.search(rf"(?<![\w-]){re.escape(option)}(?![\w-])", shown):
                problems.append(f"{line!r}: no option {option} in the {language} help")

for problem in problems:
    print(f"FAIL: {readme}: {problem}")
if not problems:
    print(f"ok: {readme}: UTF-8 with its mark, CRLF, both programs, {len(examples)} examples")
sys.exit(1 if problems else 0)
P
