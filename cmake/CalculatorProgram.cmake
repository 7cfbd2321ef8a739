# add_calculator_program(NAME <exe name> CORE <portable library>
#                        SOURCES <win32 handler sources> RC <resource script>)
# Builds one of the four GUI programs: the shared shell, the program's
# handler and resources, linked so the .exe needs only Windows' own DLLs
# (KERNEL32, USER32, COMCTL32 and msvcrt).
#
# The programs are made small: everything that goes into them is compiled
# for size, without exceptions or RTTI (the code uses neither) and with one
# section per function so the linker drops what is never called; functions
# called from one place stay functions (-Os would inline them into their
# callers, which measured some 2 to 3 KiB larger per program); the C++
# runtime's exception machinery is replaced by lean_runtime.cpp; symbols
# are stripped.
set(CALC_LEAN_RUNTIME ${CMAKE_CURRENT_LIST_DIR}/lean_runtime.cpp)
set(CALC_LEAN_FLAGS -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                    -fno-inline-functions-called-once -ffunction-sections -fdata-sections)

function(add_calculator_program)
  cmake_parse_arguments(ARG "" "NAME;CORE;RC" "SOURCES" ${ARGN})
  add_executable(${ARG_NAME} WIN32 ${ARG_SOURCES} ${ARG_RC} ${CALC_LEAN_RUNTIME}
                 $<TARGET_OBJECTS:frame_shell>)
  target_include_directories(${ARG_NAME} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                                                 ${PROJECT_SOURCE_DIR}/frame)
  # The resource compiler's own includes are not tracked by the build.
  set_source_files_properties(${ARG_RC} PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/frame/result_window.rc;${PROJECT_SOURCE_DIR}/frame/version_info.rc;${PROJECT_SOURCE_DIR}/frame/control_ids.h")
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_CORE} calc_core comctl32 comdlg32 gdi32)
  # The libraries linked in are compiled the same way (the options are
  # de-duplicated when several programs share a library).
  foreach(target ${ARG_NAME} ${ARG_CORE} calc_core frame_shell)
    target_compile_options(${target} PRIVATE ${CALC_LEAN_FLAGS})
  endforeach()
  # No time stamp in the PE header: the same sources give the same bytes.
  target_link_options(${ARG_NAME} PRIVATE -static -static-libgcc -static-libstdc++
                      -Wl,--gc-sections -Wl,--no-insert-timestamp -s)
endfunction()
