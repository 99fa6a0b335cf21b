# The Windows build, cross-compiled by cmake/mingw-w64.cmake: without Qt (the window system for
# Windows is still to come), its tests run under Wine, and its program packaged as a zip.

# Debian has no Qt built for mingw-w64, and mingw-w64 no sanitizers or libFuzzer.
if(MDIRESIZE_WITH_QT OR MDIRESIZE_SANITIZE OR MDIRESIZE_FUZZ)
  message(FATAL_ERROR "The Windows build has no Qt, sanitizers or fuzz targets: "
                      "-DMDIRESIZE_WITH_QT=OFF (cmake --preset windows)")
endif()

# The zip holds the program, the README and the licence side by side, as Windows users expect.
set(CMAKE_INSTALL_BINDIR .)

if(MDIRESIZE_TESTS)
  enable_testing()
  # Debian's GoogleTest libraries are native ones: this build makes its own from the sources.
  # SYSTEM: its headers stay out of the project's warnings, as installed ones would.
  set(MDIRESIZE_GOOGLETEST_SOURCE_DIR /usr/src/googletest
      CACHE PATH "GoogleTest's sources, built for the target (Debian: package googletest)")
  set(BUILD_GMOCK OFF)
  set(INSTALL_GTEST OFF)
  add_subdirectory(${MDIRESIZE_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest
                   EXCLUDE_FROM_ALL SYSTEM)

  # Listing a test program's tests runs it under Wine: at test time, and again only when it has
  # changed, rather than at every build.
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

  # The tests' Wine prefix is made while the build compiles, not in the first listing of tests.
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/wine/.made
                     COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --prefix
                     COMMENT "Making the Wine prefix for the tests")
  add_custom_target(wine_prefix ALL DEPENDS ${PROJECT_BINARY_DIR}/wine/.made)
  # And the one the desktop tests of the normal build run the program in, on their X display.
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/wine-x11/.made
                     COMMAND ${CMAKE_COMMAND} -E env MDIRESIZE_WINE_GRAPHICS=x11
                             ${CMAKE_CROSSCOMPILING_EMULATOR} --prefix
                     COMMENT "Making the Wine prefix for the desktop tests (x11 driver)")
  add_custom_target(wine_prefix_x11 ALL DEPENDS ${PROJECT_BINARY_DIR}/wine-x11/.made)

  # One wineserver for the whole run: a fresh one, started as CTest reads the tests, before it
  # runs the test programs to list theirs (a fixture would come after that), and ended after
  # the last test by the fixture's cleanup.
  set(start "")
  foreach(word IN LISTS CMAKE_CROSSCOMPILING_EMULATOR)
    string(APPEND start " [==[${word}]==]")
  endforeach()
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/wine-start.cmake @ONLY CONTENT [[
execute_process(COMMAND @start@ --start RESULT_VARIABLE status TIMEOUT 600)
if(NOT status EQUAL 0)
  message(WARNING "The wineserver for the tests did not start (${status}): @PROJECT_BINARY_DIR@/wine.log")
endif()
]])
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${PROJECT_BINARY_DIR}/wine-start.cmake)
  add_test(NAME wine.Stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop)
  set_tests_properties(wine.Stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
  # What every test of this build is given (tests/).
  set(MDIRESIZE_TEST_PROPERTIES FIXTURES_REQUIRED wine)
endif()

# The zip: mdiresize-VERSION-win64.zip (tools/package --windows), its texts with CR LF line ends
# for Notepad.
foreach(text README.md LICENSE)
  get_filename_component(name ${text} NAME_WE)
  file(READ ${PROJECT_SOURCE_DIR}/${text} content)
  string(REPLACE "\r\n" "\n" content "${content}")
  string(REPLACE "\n" "\r\n" content "${content}")
  file(WRITE ${PROJECT_BINARY_DIR}/${name}.txt "${content}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${text})
  install(FILES ${PROJECT_BINARY_DIR}/${name}.txt DESTINATION .)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
include(CPack)
