# The texts of the program's catalogues as the windows show them, for the
# tests that find the windows by their titles. Sourced.
#
#   text_of CATALOGUE ID   the text of a row (texts/French.cpp, TextId::ID)
#   title_of ID            a window's title in $catalogue as xdotool searches
#                          it: the whole name, its dots literal

text_of() {
    python3 - "$1" "$2" <<'PY'
import re, sys
source = open(sys.argv[1], encoding="utf-8").read()
found = re.search(r"\{TextId::" + sys.argv[2] + r',\s*"((?:[^"\\]|\\.)*)"', source)
print(found.group(1).encode().decode("unicode_escape").encode("latin-1").decode("utf-8") if found else "")
PY
}
title_of() { echo "^$(text_of "$catalogue" "$1" | sed 's/[.[\*^$]/\\&/g')\$"; }
