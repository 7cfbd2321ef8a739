# add_calculator_program(NAME <exe name> CORE <portable library>
#                        SOURCES <win32 handler sources> RC <resource script>)
# Builds one of the four GUI programs: the shared shell, the program's
# handler and resources, linked so the .exe needs only Windows' own DLLs.
function(add_calculator_program)
  cmake_parse_arguments(ARG "" "NAME;CORE;RC" "SOURCES" ${ARGN})
  add_executable(${ARG_NAME} WIN32 ${ARG_SOURCES} ${ARG_RC} $<TARGET_OBJECTS:frame_shell>)
  target_include_directories(${ARG_NAME} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                                                 ${PROJECT_SOURCE_DIR}/frame)
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_CORE} frame_core comctl32)
  target_compile_options(${ARG_NAME} PRIVATE -Os -ffunction-sections -fdata-sections)
  target_link_options(${ARG_NAME} PRIVATE -static -static-libgcc -static-libstdc++
                      -Wl,--gc-sections -s)
endfunction()
