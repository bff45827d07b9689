# Which folder of the tree may include what: the layers of
# docs/ARCHITECTURE.md, read by cmake/CheckIncludes.cmake (which checks every
# include of the tree against them) and by CMakeLists.txt (which reruns the
# check when a C++ file of these folders changes).

# The folders whose C++ files are checked.
set(pcw_include_folders platform core formats settings cli ui data bench fuzz tests)

# Each rule: a folder (the longest that holds the file applies), then what its
# files may include: folders of the tree, and the words QT, GTEST, SYSTEM (the
# system's headers) and FILES (<filesystem> and <fstream>, which reach files
# past platform/'s File and Fs).
set(pcw_include_rules
  "platform/"         "platform/ SYSTEM FILES"
  "core/"             "core/ platform/"
  "formats/"          "formats/ core/ platform/"
  # The native sets use the workflow's helpers, never a foreign set.
  "formats/native/"   "formats/native/ formats/* core/ platform/"
  "settings/"         "settings/ platform/"
  "cli/"              "cli/ formats/ settings/ core/ platform/"
  "ui/"               "ui/ formats/ settings/ core/ platform/ QT"
  "data/"             "settings/ platform/"
  "bench/"            "ui/ formats/ settings/ core/ platform/ QT"
  # The test harnesses make the files and processes their cases need, with
  # the system's own calls; each suite reaches only the layer it tests.
  "fuzz/"             "fuzz/ formats/ settings/ core/ platform/ SYSTEM FILES"
  "tests/support/"    "tests/support/ core/ platform/ GTEST SYSTEM FILES"
  "tests/platform/"   "tests/platform/ tests/support/ platform/ GTEST SYSTEM FILES"
  "tests/core/"       "tests/core/ tests/support/ core/ platform/ GTEST SYSTEM FILES"
  "tests/formats/"    "tests/formats/ tests/support/ formats/ core/ platform/ GTEST SYSTEM FILES"
  "tests/settings/"   "tests/settings/ tests/support/ settings/ platform/ GTEST SYSTEM FILES"
  "tests/cli/"        "tests/cli/ tests/support/ cli/ formats/ settings/ core/ platform/ GTEST SYSTEM FILES"
  "tests/faults/"     "tests/faults/ tests/support/ platform/ GTEST SYSTEM FILES"
  "tests/ui/"         "tests/ui/ tests/support/ ui/ formats/ settings/ core/ platform/ QT GTEST SYSTEM FILES")
