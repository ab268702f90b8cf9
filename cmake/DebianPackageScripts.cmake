# Run by cpack after it has made the Debian package (CPACK_POST_BUILD_SCRIPTS).
#
# CPack writes a postinst and a postrm that call ldconfig whenever a shared object lies anywhere
# under /usr/lib. Form.so and Res.so lie in the private program folder, where the dynamic linker
# never looks, so those calls have nothing to do. The package is rebuilt without scripts that
# hold nothing but such a call; any other script stays.

find_program(TQ_DPKG_DEB dpkg-deb REQUIRED)

function(tq_run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed: ${errors}")
  endif()
endfunction()

# True when the script is CPack's ldconfig call and its boilerplate, nothing else.
function(tq_only_ldconfig script out)
  file(STRINGS ${script} lines)
  set(only TRUE)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(NOT line MATCHES "^(|#!/bin/sh|set -e|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|ldconfig|fi)$")
      set(only FALSE)
    endif()
  endforeach()
  set(${out} ${only} PARENT_SCOPE)
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  tq_run(${TQ_DPKG_DEB} --raw-extract ${package} ${tree})
  set(changed FALSE)
  foreach(name postinst postrm)
    if(EXISTS ${tree}/DEBIAN/${name})
      tq_only_ldconfig(${tree}/DEBIAN/${name} only)
      if(only)
        file(REMOVE ${tree}/DEBIAN/${name})
        set(changed TRUE)
      endif()
    endif()
  endforeach()
  if(changed)
    tq_run(${TQ_DPKG_DEB} --root-owner-group -Zgzip --build ${tree} ${package})
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
