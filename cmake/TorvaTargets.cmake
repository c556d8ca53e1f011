# Helpers shared by every folder of the tree.

# Warnings for the project's own code (third-party code is built without them).
function(torva_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# torva_install(target...): put a deliverable into the staged install folder.
function(torva_install)
    install(TARGETS ${ARGN} RUNTIME DESTINATION . LIBRARY DESTINATION .)
endfunction()

# TORVA_NATIVE32: this machine runs 32-bit Linux programs natively, so a
# 32-bit Windows process starts as fast as a 64-bit one (scripts/native32.sh).
option(TORVA_NATIVE32 "32-bit programs run natively: run every 32-bit test in full" OFF)
if(TORVA_BITS EQUAL 32)
    if(TORVA_NATIVE32)
        message(STATUS "32-bit programs run natively: every 32-bit test program runs in full")
    else()
        message(STATUS "32-bit programs run under emulation: the 32-bit build runs test subsets")
    endif()
endif()

# A GoogleTest program run by CTest through Wine. A 32-bit process needs
# about a minute just to start on a machine without native 32-bit support,
# and threads may crash under that emulator, so there the 32-bit build runs
# a subset: FILTER32 is a --gtest_filter for it. Natively it runs in full
# but for ONLY64, the tests that need a 64-bit program (a gtest pattern).
#
# torva_add_gtest(name SOURCES ... LIBS ... [FILTER32 pattern] [ONLY64 pattern])
function(torva_add_gtest name)
    cmake_parse_arguments(T "" "FILTER32;ONLY64" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/common/testsupport/MachineTestLocks.cpp)
    torva_warnings(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    set(args "")
    if(TORVA_BITS EQUAL 32 AND T_FILTER32 AND NOT TORVA_NATIVE32)
        set(args "--gtest_filter=${T_FILTER32}")
    elseif(TORVA_BITS EQUAL 32 AND T_ONLY64)
        set(args "--gtest_filter=-${T_ONLY64}")
    endif()
    add_test(NAME ${name}.${TORVA_BITS} COMMAND ${name} ${args}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    # Judged by what GoogleTest prints, not by the exit code alone: a 32-bit
    # process that dies inside qemu's emulation can still exit with 0.
    set_tests_properties(${name}.${TORVA_BITS} PROPERTIES TIMEOUT 900
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ test"
        FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\];uncaught target signal")
    # Run once the folder's CMakeLists.txt has set the test's locks.
    cmake_language(EVAL CODE "cmake_language(DEFER CALL torva_machine_test_locks [[${name}.${TORVA_BITS}]])")
endfunction()

# CTest's resource locks hold within one CTest run; the program takes the
# same locks machine-wide (see common/testsupport/MachineTestLocks.cpp), so
# the 32-bit and 64-bit runs exclude each other as well. A test added with
# add_test over such a program calls this once its locks are set.
function(torva_machine_test_locks test)
    get_test_property(${test} RESOURCE_LOCK locks)
    if(locks)
        string(REPLACE ";" "\\;" locks "${locks}")
        set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT_MODIFICATION "TORVA_TEST_LOCKS=set:${locks}")
    endif()
endfunction()
