# Compiler settings shared by every target of the project. Applied per target, so that
# GoogleTest's own sources (compiled in the cross build) keep their settings.
function(tamsel_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow)
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
