# Applies the sanitizer chosen with SINEFOLD_SANITIZER to everything built.
if(SINEFOLD_SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -g -O1)
  add_link_options(-fsanitize=thread)
elseif(SINEFOLD_SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g -O1)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT SINEFOLD_SANITIZER STREQUAL "")
  message(FATAL_ERROR "SINEFOLD_SANITIZER must be thread, address or empty")
endif()
