# GoogleTest from the machine's sources, for every flavour, and the helper that
# declares one test program.
include(GoogleTest)

set(PINCHWELL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
if(NOT PINCHWELL_FUZZ)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PINCHWELL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# pinchwell_test(NAME <target> SOURCES ... [LIBS ...] [GUI] [SHARED_STATE])
# GUI marks tests that need the display: under Wine they share one virtual desktop.
# SHARED_STATE marks tests that change what every test of the Wine prefix sees (the
# program folder, the browser's registry keys). Tests with either mark never run at
# the same time as each other. (One lock for both: gtest_discover_tests flattens a
# list of locks.)
function(pinchwell_test)
  cmake_parse_arguments(T "GUI;SHARED_STATE" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  set(props TIMEOUT 120)
  set(discovery_timeout 60)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    # The Wine runner ends a program at 120 s itself, after saying what it waited on, which
    # takes up to two minutes more under load; the first discovery may start the prefix's
    # session (scripts/wine-test.sh).
    set(props TIMEOUT 300 ENVIRONMENT PINCHWELL_TEST_DEADLINE=120)
    set(discovery_timeout 180)
  endif()
  if(T_GUI OR T_SHARED_STATE)
    list(APPEND props RESOURCE_LOCK shared_prefix_state)
  endif()
  # Discovery at test time: building never needs Wine.
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT ${discovery_timeout}
                       PROPERTIES ${props})
endfunction()
