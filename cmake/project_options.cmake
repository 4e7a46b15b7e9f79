# Compiler settings of the project's own targets (never applied to third-party code).
function(ostrel_project_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE NOMINMAX
                               _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
    target_link_options(${target} PUBLIC -municode)
  endif()
endfunction()

# Windows programs are GUI subsystem programs; the tests are console programs.
function(ostrel_windows_gui target)
  target_link_options(${target} PRIVATE -mwindows)
endfunction()
