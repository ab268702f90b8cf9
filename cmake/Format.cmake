# `format` rewrites the project's C and C++ sources with clang-format and the .clang-format at
# the top; `format-check` only lists the files that differ from it and fails if there are any.
find_program(TQ_CLANG_FORMAT NAMES clang-format clang-format-14)
if(NOT TQ_CLANG_FORMAT)
  message(STATUS "clang-format not found: no format targets")
  return()
endif()

set(TQ_FORMAT_PATTERNS)
foreach(folder Code tests fuzz bench)
  foreach(extension c cpp h)
    list(APPEND TQ_FORMAT_PATTERNS ${PROJECT_SOURCE_DIR}/${folder}/*.${extension})
  endforeach()
endforeach()
file(GLOB_RECURSE TQ_FORMAT_SOURCES CONFIGURE_DEPENDS ${TQ_FORMAT_PATTERNS})

add_custom_target(format
  COMMAND ${TQ_CLANG_FORMAT} -i ${TQ_FORMAT_SOURCES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Formatting the sources with clang-format"
  VERBATIM)
add_custom_target(format-check
  COMMAND ${TQ_CLANG_FORMAT} --dry-run --Werror ${TQ_FORMAT_SOURCES}
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  COMMENT "Checking the sources against .clang-format"
  VERBATIM)
