# SPDX-License-Identifier: GPL-3.0-or-later
# The rest of a Windows build: the tests, built with GoogleTest from the build machine's sources by
# the same cross compiler and run under Wine, and the installed program.
if(PELLAMY_BUILD_TESTS)
    enable_testing()
    find_path(PELLAMY_GOOGLETEST_SOURCE CMakeLists.txt PATHS /usr/src/googletest NO_DEFAULT_PATH
              NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${PELLAMY_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    include(GoogleTest)

    # pellamy_add_gtest(NAME SOURCES ... LIBS ... [LOCK resource]): as on Linux; the cases are
    # listed when the tests run rather than at build time, so that a build starts Wine only for what
    # it runs. Cases that share a resource of the whole session (the clipboard, the registry) name
    # it as LOCK, so that CTest never runs two of them at once.
    function(pellamy_add_gtest name)
        cmake_parse_arguments(ARG "" "LOCK" "SOURCES;LIBS" ${ARGN})
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main pellamy_warnings)
        if(ARG_LOCK)
            gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                                 PROPERTIES RESOURCE_LOCK ${ARG_LOCK})
        else()
            gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120)
        endif()
    endfunction()

    # pellamy_add_wine_gui_test(NAME SOURCES ... LIBS ...): a GoogleTest program that creates real
    # windows, run as one test under Wine on a private X server (cmake/wine-gui-run.sh). Such tests
    # run one at a time: they share the prefix whose desktop draws on that server.
    function(pellamy_add_wine_gui_test name)
        cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main pellamy_warnings)
        add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/cmake/wine-gui-run.sh $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_gui TIMEOUT 300)
    endfunction()

    add_subdirectory(tests/win32)
    # The window's handlers against a fake view, as on Linux: the window core builds and behaves
    # the same on Windows.
    add_subdirectory(tests/window)
endif()

# The window's benchmark (bench/win32_window_bench.py), when benchmarks are asked for: the windows
# preset leaves them out, -DPELLAMY_BUILD_BENCH=ON brings them in.
if(PELLAMY_BUILD_BENCH)
    add_subdirectory(bench/win32)
endif()

install(TARGETS pellamy-report pellamy RUNTIME DESTINATION bin)
