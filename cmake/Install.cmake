# Installation and packaging.
#
# `cmake --install <build> --prefix DIR` lays out the program folder in DIR: tonequill, evc,
# Form.so, Res.so, Help.html and an empty Config/ side by side, nothing else. The folder is
# portable: the program finds its siblings beside its own executable and links only system
# libraries, so it runs from wherever the folder is moved.
#
# The desktop integration (the launcher in bin/, the desktop entry, the icons and the AppStream
# metainfo under share/) is the install component "desktop". It is left out of a plain install,
# so the program folder stays clean, and is installed on request:
#   cmake --install <build> --component desktop --prefix /usr/local
# Its launcher starts the program folder installed in TQ_SYSTEM_PROGRAM_DIR. The manual pages
# tonequill(1) and evc(1) belong to it too.
#
# `cpack -G DEB` (in the build folder) makes a Debian package with the program folder in
# TQ_SYSTEM_PROGRAM_DIR, the desktop integration under /usr and the package's own documents
# (copyright, changelog) in /usr/share/doc/tonequill; its binaries are stripped.

set(TQ_SYSTEM_PROGRAM_DIR "/usr/lib/tonequill" CACHE PATH
  "Where the desktop launcher and the Debian package expect the program folder")
set(TQ_APP_ID "org.example.tonequill")
set(TQ_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# ---- the program folder ----
install(TARGETS tonequill evc RUNTIME DESTINATION . COMPONENT program)
install(TARGETS Form Res LIBRARY DESTINATION . COMPONENT program)
install(FILES ${TQ_PROGRAM_DIR}/Help.html DESTINATION . COMPONENT program)
# Config/ of the build folder may hold settings written by runs from there; an empty one goes.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging/empty/Config)
install(DIRECTORY ${CMAKE_BINARY_DIR}/packaging/empty/Config DESTINATION . COMPONENT program)

# ---- manual pages and the package's documents, compressed as Debian wants them ----
find_program(TQ_GZIP gzip REQUIRED)
set(TQ_MAN_PAGES tonequill.1 evc.1)
set(TQ_COMPRESSED_DOCS)
foreach(page ${TQ_MAN_PAGES})
  list(APPEND TQ_COMPRESSED_DOCS ${TQ_PACKAGING_DIR}/man/${page})
endforeach()
list(APPEND TQ_COMPRESSED_DOCS ${TQ_PACKAGING_DIR}/debian/changelog)
set(TQ_COMPRESSED_OUTPUTS)
foreach(source ${TQ_COMPRESSED_DOCS})
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  # -n leaves name and time out of the header, so the same text always gives the same file.
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${TQ_GZIP} -9n -c ${source} > ${compressed}
    DEPENDS ${source} VERBATIM)
  list(APPEND TQ_COMPRESSED_OUTPUTS ${compressed})
endforeach()
add_custom_target(tq_compressed_docs ALL DEPENDS ${TQ_COMPRESSED_OUTPUTS})

# The changelog's latest entry names the version the package is built as.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TQ_PACKAGING_DIR}/debian/changelog)
file(STRINGS ${TQ_PACKAGING_DIR}/debian/changelog TQ_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT TQ_CHANGELOG_TOP MATCHES "^tonequill \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog begins with \"${TQ_CHANGELOG_TOP}\"; "
    "its latest entry must be for version ${PROJECT_VERSION}")
endif()

# ---- desktop integration ----
configure_file(${TQ_PACKAGING_DIR}/tonequill-launcher.sh.in
  ${CMAKE_BINARY_DIR}/packaging/tonequill @ONLY)
configure_file(${TQ_PACKAGING_DIR}/${TQ_APP_ID}.metainfo.xml
  ${CMAKE_BINARY_DIR}/packaging/${TQ_APP_ID}.metainfo.xml @ONLY)

install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/tonequill DESTINATION bin
  COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${TQ_PACKAGING_DIR}/${TQ_APP_ID}.desktop DESTINATION share/applications
  COMPONENT desktop EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${TQ_APP_ID}.metainfo.xml DESTINATION share/metainfo
  COMPONENT desktop EXCLUDE_FROM_ALL)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/artwork/icons/tonequill-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${TQ_APP_ID}.png
    COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()
foreach(page ${TQ_MAN_PAGES})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.gz DESTINATION share/man/man1
    COMPONENT desktop EXCLUDE_FROM_ALL)
endforeach()

# ---- documents of the Debian package ----
install(FILES ${TQ_PACKAGING_DIR}/debian/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  DESTINATION share/doc/tonequill COMPONENT debian EXCLUDE_FROM_ALL)

# ---- the Debian package ----
set(CPACK_PACKAGE_NAME tonequill)
set(CPACK_PACKAGE_VENDOR "The Tonequill Project")
set(CPACK_PACKAGE_CONTACT "The Tonequill Project <support@tonequill.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter of video and audio files into audio files")
# One line of the extended description is at most 80 characters wide in the control file.
set(CPACK_PACKAGE_DESCRIPTION
  "Tonequill converts a list of video and audio files, one after another, into\n"
  "AMR, AAC, MP3, AC3, M4A, OGG or WAV audio, with quality profiles, custom\n"
  "profiles and trimming on a timeline beside a preview player. No earlier\n"
  "output is ever overwritten.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tonequill.example.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_FILE_NAME "tonequill_${PROJECT_VERSION}_amd64")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

# Each component goes to its own place in the package: the program folder to
# TQ_SYSTEM_PROGRAM_DIR, the desktop integration and the documents under /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${CMAKE_BINARY_DIR};Tonequill;program;${TQ_SYSTEM_PROGRAM_DIR}"
  "${CMAKE_BINARY_DIR};Tonequill;desktop;/usr"
  "${CMAKE_BINARY_DIR};Tonequill;debian;/usr")
# The package carries stripped binaries; the debug information stays in the build folder.
set(CPACK_STRIP_FILES ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianPackageScripts.cmake)

set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
# The libraries the binaries link (Qt, FFmpeg, opencore-amrnb, libjpeg, the C++ runtime) are
# found by dpkg-shlibdeps; the plugins loaded at run time are named here: the X11 platform
# plugin and the GStreamer backend of Qt Multimedia ship in libqt6gui6 and libqt6multimedia6,
# the preview plays through the GStreamer plugin sets.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6gui6 (>= 6.4), libqt6multimedia6 (>= 6.4), qt6-qpa-plugins (>= 6.4), "
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, "
  "gstreamer1.0-plugins-ugly, gstreamer1.0-libav")
string(JOIN "" CPACK_DEBIAN_PACKAGE_DEPENDS ${CPACK_DEBIAN_PACKAGE_DEPENDS})
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
