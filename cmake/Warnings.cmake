# Warnings every target of ours compiles with; the tree builds without any.
function(sinefold_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -Wnon-virtual-dtor)
endfunction()
