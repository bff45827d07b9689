# `make package`: a .deb of what the install rules install, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parcelwise)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Parcelwise developers")
# Who answers for the package. Debian's tools take the name and address of
# whoever builds a package from DEBFULLNAME and DEBEMAIL, and so does this
# build; PCW_MAINTAINER sets both at once. A .deb cannot go without the field,
# and the project has no mail address of its own yet: the default says so.
set(pcw_default_maintainer "The Parcelwise developers <maintainers@parcelwise.example.org>")
if(DEFINED ENV{DEBEMAIL} AND NOT "$ENV{DEBEMAIL}" STREQUAL "")
  if("$ENV{DEBEMAIL}" MATCHES "<")
    set(pcw_default_maintainer "$ENV{DEBEMAIL}")
  elseif(DEFINED ENV{DEBFULLNAME})
    set(pcw_default_maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  endif()
endif()
set(PCW_MAINTAINER "${pcw_default_maintainer}" CACHE STRING "The package's Maintainer field: NAME <ADDRESS>")
set(CPACK_PACKAGE_CONTACT "${PCW_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file splitter and joiner with MD5 checks")
set(CPACK_PACKAGE_DESCRIPTION
    "Parcelwise cuts a file into a numbered set of parts, of a chosen size or in a
chosen number, optionally with an MD5 digest of every part, and joins the set
back after checking every part. It also joins the sets of eight other
splitting tools and plain numbered sets. It comes as a window, parcelwise,
and as a command-line program, pcw. Its interface is in French.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # parcelwise_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not say: Qt's own French texts for the standard buttons
# and dialogs, and the font of Arial's widths that the windows are drawn for
# (ui/Skin.h). The X11 plugin comes with libqt6gui6; on Wayland the native
# plugin is better than going through XWayland, but not needed.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
