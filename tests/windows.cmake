# Windows tests, cross-compiled and run under Wine (CMAKE_CROSSCOMPILING_EMULATOR).
# GoogleTest is built from Debian's sources with the posix-thread compiler.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

target_link_libraries(reader_tests PRIVATE test_bytes gtest_main)
target_link_options(reader_tests PRIVATE -static)
add_test(NAME reader_tests COMMAND reader_tests)
set_tests_properties(reader_tests PROPERTIES
  PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
  FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")

# The Lua-level tests under both Windows hosts. A test that prints no closing
# line has not run (a 32-bit program under wine64 exits 0 silently).
set(hosts lua/lua.exe luajit/luajit.exe)
foreach(host ${hosts})
  get_filename_component(name ${host} NAME_WE)
  add_test(NAME lua_result_table_${name}
           COMMAND wine ${SCORLANE_WINDOWS_LUA}/${host} ${CMAKE_CURRENT_SOURCE_DIR}/lua/result_table_test.lua
                   $<TARGET_FILE:scorlane>)
  add_test(NAME lua_module_${name}
           COMMAND wine ${SCORLANE_WINDOWS_LUA}/${host} ${CMAKE_CURRENT_SOURCE_DIR}/lua/module_test.lua
                   ${PROJECT_SOURCE_DIR}/lua $<TARGET_FILE_DIR:scorlane>)
  foreach(test lua_result_table_${name} lua_module_${name})
    set_tests_properties(${test} PROPERTIES
      PASS_REGULAR_EXPRESSION "[0-9]+ passed, 0 failed"
      FAIL_REGULAR_EXPRESSION "FAIL")
  endforeach()
endforeach()

# The DLL's imports are exactly lua51.dll, KERNEL32 and msvcrt.
add_test(NAME dll_imports
         COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/check_dll_imports.sh $<TARGET_FILE:scorlane>)
set_tests_properties(dll_imports PROPERTIES PASS_REGULAR_EXPRESSION "1 passed, 0 failed")
