# Which folder of the tree may include what: the layers of
# docs/ARCHITECTURE.md, read by cmake/CheckIncludes.cmake (which checks every
# include of the tree against them) and by CMakeLists.txt (which reruns the
# check when a C++ file of these folders changes).

# The folders whose C++ files are checked.
set(pcw_include_folders texts platform core formats settings cli ui data bench fuzz tests)

# Each rule: a folder (the longest that holds the file applies), then what its
# files may include: folders of the tree, and the words QT, GTEST, SYSTEM (the
# system's headers), ISAL (Intel's erasure code) and FILES (<filesystem> and <fstream>, which reach files
# past platform/'s File and Fs).
set(pcw_include_rules
  # The texts lie below everything that shows them and include nothing of ours.
  "texts/"            "texts/"
  "platform/"         "platform/ texts/ SYSTEM FILES"
  "core/"             "core/ platform/ texts/"
  "formats/"          "formats/ core/ platform/ texts/"
  # The native sets use the workflow's helpers, never a foreign set.
  "formats/native/"   "formats/native/ formats/* core/ platform/ texts/"
  # The recovery parts' code over the native sets' digests and hashing.
  "formats/recovery/" "formats/recovery/ formats/native/ formats/ core/ platform/ texts/ ISAL"
  "settings/"         "settings/ platform/ texts/"
  "cli/"              "cli/ formats/ settings/ core/ platform/ texts/"
  "ui/"               "ui/ formats/ settings/ core/ platform/ texts/ QT"
  "data/"             "settings/ platform/ texts/"
  "bench/"            "ui/ formats/ settings/ core/ platform/ texts/ QT"
  # The test harnesses make the files and processes their cases need, with
  # the system's own calls; each suite reaches only the layer it tests.
  "fuzz/"             "fuzz/ formats/ settings/ core/ platform/ texts/ SYSTEM FILES"
  "tests/support/"    "tests/support/ core/ platform/ texts/ GTEST SYSTEM FILES"
  "tests/texts/"      "tests/texts/ texts/ GTEST"
  "tests/platform/"   "tests/platform/ tests/support/ platform/ texts/ GTEST SYSTEM FILES"
  "tests/core/"       "tests/core/ tests/support/ core/ platform/ texts/ GTEST SYSTEM FILES"
  "tests/formats/"    "tests/formats/ tests/support/ formats/ core/ platform/ texts/ GTEST SYSTEM FILES ISAL"
  "tests/settings/"   "tests/settings/ tests/support/ settings/ platform/ texts/ GTEST SYSTEM FILES"
  "tests/cli/"        "tests/cli/ tests/support/ cli/ formats/ settings/ core/ platform/ texts/ GTEST SYSTEM FILES"
  "tests/faults/"     "tests/faults/ tests/support/ platform/ texts/ GTEST SYSTEM FILES"
  "tests/ui/"         "tests/ui/ tests/support/ ui/ formats/ settings/ core/ platform/ texts/ QT GTEST SYSTEM FILES")
