# Compiler settings shared by every target of the project. Applied per target, so that
# GoogleTest's own sources (compiled in the cross build) keep their settings.
#
# TAMSEL_WERROR makes every warning an error. It is on in the test command and CI; a plain build
# leaves it off, so that a newer compiler's new warnings never stop someone building the tree.
option(TAMSEL_WERROR "Treat compiler warnings as errors" OFF)

function(tamsel_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
  if(TAMSEL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(TAMSEL_TSAN)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
  if(TAMSEL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined
                                             -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# The code that handles bytes, sizes and counts (engine, job, platform) also warns about every
# conversion that may change a value: a wrong byte or a cut size there is a wrong edit.
function(tamsel_strict_conversions target)
  target_compile_options(${target} PRIVATE -Wconversion -Wsign-conversion)
endfunction()
