# Warnings for the project's own code. The headers of Qt, FFmpeg and GoogleTest come in through
# imported targets, whose include folders count as system headers, so they do not warn.
add_compile_options(-Wall -Wextra -Wshadow -Wcast-qual
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>
  $<$<COMPILE_LANGUAGE:CXX>:-Woverloaded-virtual>
  $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast>)
if(TQ_WERROR)
  add_compile_options(-Werror)
endif()

if(TQ_SANITIZE)
  set(TQ_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${TQ_SANITIZER_FLAGS})
  add_link_options(${TQ_SANITIZER_FLAGS})
endif()
