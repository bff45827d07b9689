# What Windows reads from a program file besides its code: the icon that
# Explorer and the taskbar show, drawn from the artwork at the sizes they ask
# for; the version and the description that the file's properties and the Task
# Manager show; and the manifest that tells Windows how to run the program. For
# the Windows builds only, with the RC language enabled (windres).
#
#   pcw_windows_resources(TARGET DESCRIPTION text ICON svg)
#
# DESCRIPTION is the program's one line in the Task Manager; ICON the SVG that
# the icon is drawn from. Needs rsvg-convert (librsvg2-bin) and icotool
# (icoutils).
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(PCW_ICOTOOL icotool REQUIRED)

set(PCW_WINDOWS_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR}/windows)
# Explorer's small and large icons, the 48 pixels of its medium icons and
# the 256 of its largest, which the .ico keeps as PNG, as Windows expects.
set(PCW_ICON_SIZES 16 32 48 256)

function(pcw_windows_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 RES "" "DESCRIPTION;ICON" "")
  if(NOT RES_DESCRIPTION OR NOT RES_ICON)
    message(FATAL_ERROR "pcw_windows_resources(${target}): DESCRIPTION and ICON are needed")
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-resources)
  file(MAKE_DIRECTORY ${dir})

  set(pngs)
  set(icotool_inputs)
  foreach(size IN LISTS PCW_ICON_SIZES)
    set(png ${dir}/icon-${size}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${RES_ICON}
      DEPENDS ${RES_ICON} VERBATIM)
    list(APPEND pngs ${png})
    if(size EQUAL 256)
      list(APPEND icotool_inputs --raw=${png})
    else()
      list(APPEND icotool_inputs ${png})
    endif()
  endforeach()
  set(ico ${dir}/${target}.ico)
  add_custom_command(OUTPUT ${ico}
    COMMAND ${PCW_ICOTOOL} --create --output=${ico} ${icotool_inputs}
    DEPENDS ${pngs}
    COMMENT "Drawing the icon of ${target}" VERBATIM)

  # The version resource counts four numbers; the project's version may give two.
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(PCW_VERSION_${part} ${PROJECT_VERSION_${part}})
    if("${PCW_VERSION_${part}}" STREQUAL "")
      set(PCW_VERSION_${part} 0)
    endif()
  endforeach()
  set(PCW_RESOURCE_NAME ${target})
  set(PCW_RESOURCE_FILE ${target}${CMAKE_EXECUTABLE_SUFFIX})
  set(PCW_RESOURCE_DESCRIPTION ${RES_DESCRIPTION})
  set(PCW_RESOURCE_ICON ${ico})
  set(PCW_RESOURCE_MANIFEST ${dir}/${target}.manifest)
  configure_file(${PCW_WINDOWS_RESOURCES_DIR}/Program.manifest.in ${PCW_RESOURCE_MANIFEST} @ONLY)
  configure_file(${PCW_WINDOWS_RESOURCES_DIR}/Program.rc.in ${dir}/${target}.rc @ONLY)

  target_sources(${target} PRIVATE ${dir}/${target}.rc)
  # windres reads the icon and the manifest named in the script, which no
  # dependency scan of CMake sees.
  set_source_files_properties(${dir}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${ico};${PCW_RESOURCE_MANIFEST}")
endfunction()
