# The include directions of docs/ARCHITECTURE.md, checked on every #include of
# every C++ file of the tree, so that a call against the layers fails the build
# even when it needs no library (a header-only call compiles and links).
#
#   cmake -DPCW_SOURCE_DIR=<tree> [-DPCW_STAMP=<file>] -P CheckIncludes.cmake
#
# A quoted include names a file of the tree: beside the including file, from
# the top of the tree, or (for the tests) from tests/. An angle include is a
# header of the C++ library or of the compiler's intrinsics, Qt's (<Q...>),
# GoogleTest's (<gtest/...>, <gmock/...>), or else the system's (<unistd.h>, <windows.h>, <sys/...>).
cmake_minimum_required(VERSION 3.22)

include(${CMAKE_CURRENT_LIST_DIR}/IncludeRules.cmake)

# The headers of the C++ library (C++20).
set(standard_headers
  algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv chrono
  cinttypes climits clocale cmath codecvt compare complex concepts condition_variable coroutine
  csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype deque
  exception execution filesystem format forward_list fstream functional future initializer_list
  iomanip ios iosfwd iostream istream iterator latch limits list locale map memory memory_resource
  mutex new numbers numeric optional ostream queue random ranges ratio regex scoped_allocator
  semaphore set shared_mutex source_location span sstream stack stdexcept stop_token streambuf
  string string_view syncstream system_error thread tuple type_traits typeindex typeinfo
  unordered_map unordered_set utility valarray variant vector version)
set(file_headers filesystem fstream)
# The compiler's own headers of the processor's instructions: no system call
# lies behind them, and any layer may use them.
set(compiler_headers immintrin.h)

if(NOT PCW_SOURCE_DIR)
  message(FATAL_ERROR "CheckIncludes.cmake: -DPCW_SOURCE_DIR=<tree> is missing")
endif()

# The rule of a file given by its path from the top of the tree: sets
# `allowed`, or nothing for a file of no layer.
function(rule_of path)
  set(best "")
  set(best_allowed "")
  list(LENGTH pcw_include_rules count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET pcw_include_rules ${i} folder)
    list(GET pcw_include_rules ${j} allowed)
    string(LENGTH "${folder}" length)
    string(LENGTH "${best}" best_length)
    string(SUBSTRING "${path}" 0 ${length} start)
    if(start STREQUAL folder AND length GREATER best_length)
      set(best "${folder}")
      set(best_allowed "${allowed}")
    endif()
  endforeach()
  set(folder "${best}" PARENT_SCOPE)
  set(allowed "${best_allowed}" PARENT_SCOPE)
endfunction()

# Whether `target` (a path from the top of the tree) lies in one of the
# folders of `allowed`; "formats/*" is a file at the top of formats/ itself.
function(may_include allowed target)
  set(ok FALSE)
  string(REPLACE " " ";" entries "${allowed}")
  foreach(entry IN LISTS entries)
    if(entry MATCHES "^(.*/)\\*$")
      set(top "${CMAKE_MATCH_1}")
      string(LENGTH "${top}" length)
      string(SUBSTRING "${target}" 0 ${length} start)
      string(SUBSTRING "${target}" ${length} -1 rest)
      if(start STREQUAL top AND NOT rest MATCHES "/")
        set(ok TRUE)
      endif()
    elseif(entry MATCHES "/$")
      string(LENGTH "${entry}" length)
      string(SUBSTRING "${target}" 0 ${length} start)
      if(start STREQUAL entry)
        set(ok TRUE)
      endif()
    endif()
  endforeach()
  set(ok ${ok} PARENT_SCOPE)
endfunction()

set(globs "")
foreach(top IN LISTS pcw_include_folders)
  list(APPEND globs ${PCW_SOURCE_DIR}/${top}/*.h ${PCW_SOURCE_DIR}/${top}/*.cpp)
endforeach()
file(GLOB_RECURSE files RELATIVE ${PCW_SOURCE_DIR} ${globs})
set(faults "")
set(checked 0)
foreach(path IN LISTS files)
  rule_of("${path}")
  if(NOT folder)
    continue() # build folders and whatever lies outside the layers
  endif()
  math(EXPR checked "${checked} + 1")
  get_filename_component(own_folder "${path}" DIRECTORY)
  # The include lines with their numbers: each found after the previous one,
  # its number counted from the line ends before it.
  file(READ ${PCW_SOURCE_DIR}/${path} rest)
  set(rest "\n${rest}")
  set(number 0)
  set(lines "")
  while(TRUE)
    string(REGEX MATCH "\n[ \t]*#[ \t]*include[^\n]*" found "${rest}")
    if(NOT found)
      break()
    endif()
    string(FIND "${rest}" "${found}" position)
    string(SUBSTRING "${rest}" 0 ${position} before)
    string(REGEX MATCHALL "\n" ends "${before}")
    list(LENGTH ends count)
    math(EXPR number "${number} + ${count} + 1")
    string(SUBSTRING "${found}" 1 -1 line)
    string(REPLACE ";" "," line "${line}") # keeps the list of lines a list
    list(APPEND lines "${number}:${line}")
    string(LENGTH "${found}" length)
    math(EXPR position "${position} + ${length}")
    string(SUBSTRING "${rest}" ${position} -1 rest)
  endwhile()
  foreach(numbered IN LISTS lines)
    string(REGEX MATCH "^[0-9]+" number "${numbered}")
    string(REGEX REPLACE "^[0-9]+:" "" line "${numbered}")
    set(where "${path}:${number}")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(name "${CMAKE_MATCH_1}")
      set(target "")
      foreach(candidate "${own_folder}/${name}" "${name}" "tests/${name}")
        cmake_path(NORMAL_PATH candidate)
        string(REGEX REPLACE "^/" "" candidate "${candidate}")
        if(EXISTS ${PCW_SOURCE_DIR}/${candidate} AND NOT target)
          set(target "${candidate}")
        endif()
      endforeach()
      if(NOT target)
        list(APPEND faults "${where}: \"${name}\" is no file of the tree (a system header takes <>)")
        continue()
      endif()
      may_include("${allowed}" "${target}")
      if(NOT ok)
        string(REGEX REPLACE " *(QT|GTEST|SYSTEM|FILES|ISAL)" "" folders "${allowed}")
        list(APPEND faults "${where}: ${folder} may not include ${target} (only ${folders})")
      endif()
    elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
      set(name "${CMAKE_MATCH_1}")
      if(name MATCHES "^Q")
        set(kind QT)
      elseif(name MATCHES "^(gtest|gmock)/")
        set(kind GTEST)
      elseif(name MATCHES "^isa-l")
        set(kind ISAL)
      elseif(name IN_LIST file_headers)
        set(kind FILES)
      elseif(name IN_LIST standard_headers OR name IN_LIST compiler_headers)
        continue()
      else()
        set(kind SYSTEM)
      endif()
      string(REPLACE " " ";" entries "${allowed}")
      if(NOT kind IN_LIST entries)
        if(kind STREQUAL QT)
          set(why "Qt belongs to ui/")
        elseif(kind STREQUAL GTEST)
          set(why "GoogleTest belongs to tests/")
        elseif(kind STREQUAL ISAL)
          set(why "ISA-L belongs to formats/recovery/")
        elseif(kind STREQUAL FILES)
          set(why "files are reached through platform/File.h and platform/Fs.h")
        else()
          set(why "the system's calls belong to platform/")
        endif()
        list(APPEND faults "${where}: ${folder} may not include <${name}>: ${why}")
      endif()
    else()
      list(APPEND faults "${where}: an include this check cannot read: ${line}")
    endif()
  endforeach()
endforeach()

# A folder of C++ files that no rule names: a new layer gets its rule first.
file(GLOB children RELATIVE ${PCW_SOURCE_DIR} LIST_DIRECTORIES true ${PCW_SOURCE_DIR}/*)
foreach(child IN LISTS children)
  if(NOT IS_DIRECTORY ${PCW_SOURCE_DIR}/${child} OR child IN_LIST pcw_include_folders
     OR child MATCHES "^(build|\\.)" OR EXISTS ${PCW_SOURCE_DIR}/${child}/CMakeCache.txt)
    continue() # checked above, a build folder, or hidden
  endif()
  file(GLOB_RECURSE sources ${PCW_SOURCE_DIR}/${child}/*.h ${PCW_SOURCE_DIR}/${child}/*.cpp)
  if(sources)
    list(APPEND faults "${child}/: C++ files in a folder without a rule in cmake/IncludeRules.cmake")
  endif()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "CheckIncludes.cmake: no C++ file found below ${PCW_SOURCE_DIR}")
endif()
if(faults)
  foreach(fault IN LISTS faults)
    message(NOTICE "${fault}")
  endforeach()
  list(LENGTH faults count)
  message(FATAL_ERROR "${count} fault(s) against the layers of docs/ARCHITECTURE.md (cmake/IncludeRules.cmake)")
endif()
if(PCW_STAMP)
  file(TOUCH ${PCW_STAMP})
endif()
