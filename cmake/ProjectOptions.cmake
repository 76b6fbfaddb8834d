# Compiler warnings and sanitizers shared by every target of the project.

option(DTU_WERROR "Treat compiler warnings as errors" OFF)
set(DTU_SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread")

function(dtu_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -Wnon-virtual-dtor)
  if(DTU_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(DTU_SANITIZE)
  add_compile_options(-fsanitize=${DTU_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${DTU_SANITIZE})
endif()
