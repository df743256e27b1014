# tavi_delay_load: the system DLLs that the program loads when it first calls them, not when
# the process starts. The start then runs "ipconfig /all" sooner, the common controls load
# while it runs, and the shell, WinINet, CryptoAPI and the version library load only when
# used. Linked ahead of the system libraries, so that no function of these DLLs imports the
# usual way.
# Only for x86-64: the 32-bit delay-import libraries of binutils 2.40 (Debian 12) leave their
# import slots empty, and the first call jumps to address 0; the 32-bit build keeps the usual
# imports.
add_library(tavi_delay_load INTERFACE)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(delay_libs "")
  foreach(dll IN ITEMS comctl32 crypt32 shell32 wininet version wsock32)
    set(lib ${CMAKE_BINARY_DIR}/delay-load/lib${dll}.a)
    add_custom_command(OUTPUT ${lib}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay-load
                       COMMAND ${CMAKE_CURRENT_LIST_DIR}/make-delay-lib ${TAVI_MINGW_PREFIX} ${dll} ${lib}
                       DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-delay-lib VERBATIM)
    list(APPEND delay_libs ${lib})
  endforeach()
  add_custom_target(tavi_delay_libs DEPENDS ${delay_libs})
  target_link_libraries(tavi_delay_load INTERFACE ${delay_libs} delayimp)
  add_dependencies(tavi_delay_load tavi_delay_libs)
endif()
