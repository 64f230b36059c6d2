# Helpers shared by the areas' CMakeLists.

# Adds src/<area> and tests/<area> when they exist.
function(tessum_add_area area)
  if(EXISTS ${CMAKE_SOURCE_DIR}/src/${area}/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/src/${area} ${CMAKE_BINARY_DIR}/src/${area})
  endif()
  if(TESSUM_TESTS AND EXISTS ${CMAKE_SOURCE_DIR}/tests/${area}/CMakeLists.txt)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tests/${area} ${CMAKE_BINARY_DIR}/tests/${area})
  endif()
endfunction()

# tessum_add_test(<name> SOURCES ... LIBS ... [QT])
# One GoogleTest binary; its cases are registered one by one with ctest.
# QT runs them on the offscreen platform so no display is needed.
function(tessum_add_test name)
  cmake_parse_arguments(T "QT" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(env "TESSUM_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data")
  if(T_QT)
    # Discovered tests get their properties as one flat list, which cannot
    # carry more than one environment variable; the Qt ones are put in front
    # of the command instead, for the discovery run and for every case.
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
      "${CMAKE_COMMAND};-E;env;QT_QPA_PLATFORM=offscreen;QT_AUDIO_BACKEND=none")
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${env}" TIMEOUT 300)
endfunction()
