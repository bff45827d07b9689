#!/usr/bin/env bash
# What Windows reads from the programs besides their code, read back from the
# built files with icoutils: the icon at each size Explorer asks for, the
# version and names of the file's properties, and the manifest's settings.
# Usage: resources-test.sh VERSION PROGRAM.exe...
set -euo pipefail
version=$1
shift
for tool in wrestool icotool python3; do
  command -v "$tool" >/dev/null || { echo "no $tool: scripts/install-deps windows"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for program in "$@"; do
  name=$(basename "$program")
  listed=$(wrestool --list "$program")
  for type in 3 14 16 24; do
    grep -q -- "--type=$type " <<<"$listed" || fail "$name holds no resource of type $type"
  done

  # The icon, rebuilt from the icon group as an .ico.
  wrestool --extract --type=14 --output="$work/$name.ico" "$program"
  sizes=$(icotool --list "$work/$name.ico" | sed -n 's/.*--width=\([0-9]*\) --height=\([0-9]*\).*/\1x\2/p' |
    sort -n | xargs)
  [ "$sizes" = "16x16 32x32 48x48 256x256" ] || fail "$name: icon sizes \"$sizes\""

  wrestool --extract --raw --type=24 "$program" >"$work/$name.manifest"
  wrestool --extract --raw --type=16 "$program" >"$work/$name.version"
  python3 - "$name" "$version" "$work/$name.manifest" "$work/$name.version" <<'P' || failed=1
import struct, sys
import xml.etree.ElementTree as ET

name, version, manifest_file, version_file = sys.argv[1:]
problems = []

# The manifest: each setting where Windows looks for it, in its namespace.
root = ET.parse(manifest_file).getroot()
v1 = "{urn:schemas-microsoft-com:asm.v1}"
v3 = "{urn:schemas-microsoft-com:asm.v3}"
settings = v3 + "application/" + v3 + "windowsSettings/"
expected = [
    (settings + "{http://schemas.microsoft.com/SMI/2019/WindowsSettings}activeCodePage", None, "UTF-8"),
    (settings + "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness", None, "PerMonitorV2"),
    ("{urn:schemas-microsoft-com:compatibility.v1}compatibility/"
     "{urn:schemas-microsoft-com:compatibility.v1}application/"
     "{urn:schemas-microsoft-com:compatibility.v1}supportedOS", "Id",
     "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"),
    (v3 + "trustInfo/" + v3 + "security/" + v3 + "requestedPrivileges/" + v3 +
     "requestedExecutionLevel", "level", "asInvoker"),
    (v1 + "dependency/" + v1 + "dependentAssembly/" + v1 + "assemblyIdentity", "name",
     "Microsoft.Windows.Common-Controls"),
]
for path, attribute, value in expected:
    found = [e.get(attribute) if attribute else (e.text or "").strip() for e in root.findall(path)]
    if value not in found:
        problems.append(f"manifest: {path.rsplit('}', 1)[1]} is {found}, not {value!r}")
controls = root.find(v1 + "dependency/" + v1 + "dependentAssembly/" + v1 + "assemblyIdentity")
if controls is None or controls.get("version") != "6.0.0.0":
    problems.append("manifest: no Common Controls 6")

# The version: a VS_VERSIONINFO tree of nodes, each its length, its value's
# length, its type, its UTF-16 name and its value, its children after, every
# part on a 4-byte boundary.
data = open(version_file, "rb").read()

def node(at):
    length, value_length, is_text = struct.unpack_from("<HHH", data, at)
    end_of_name = data.index(b"\0\0", at + 6)
    while (end_of_name - at) % 2:
        end_of_name = data.index(b"\0\0", end_of_name + 1)
    key = data[at + 6:end_of_name].decode("utf-16-le")
    value_at = (end_of_name + 2 + 3) & ~3
    size = value_length * 2 if is_text else value_length
    value = data[value_at:value_at + size]
    children, child = [], (value_at + size + 3) & ~3
    while child < at + length:
        children.append(node(child))
        child = (child + children[-1][3] + 3) & ~3
    return key, (value.decode("utf-16-le").rstrip("\0") if is_text else value), children, length

key, fixed, children, _ = node(0)
if key != "VS_VERSION_INFO":
    problems.append(f"version: a tree named {key!r}")
signature, _, ms, ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
wanted = tuple(int(n) for n in (version.split(".") + ["0"] * 4)[:4])
if signature != 0xFEEF04BD or numbers != wanted or (product_ms, product_ls) != (ms, ls):
    problems.append(f"version: numbers {numbers}, not {wanted}")
strings = {}
for child_key, _, tables, _ in children:
    if child_key == "StringFileInfo":
        for _, _, rows, _ in tables:
            strings.update({row_key: row_value for row_key, row_value, _, _ in rows})
for row, value in [("ProductName", "Parcelwise"), ("ProductVersion", version),
                   ("FileVersion", version), ("OriginalFilename", name)]:
    if strings.get(row) != value:
        problems.append(f"version: {row} is {strings.get(row)!r}, not {value!r}")
if not strings.get("FileDescription"):
    problems.append("version: no FileDescription")

for problem in problems:
    print(f"FAIL: {name}: {problem}")
sys.exit(1 if problems else 0)
P
  [ $failed -eq 0 ] && echo "ok: $name holds its icon, version and manifest"
done
exit $failed
