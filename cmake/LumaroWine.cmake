# Tests that run the Windows programs under 64-bit Wine (ctest label "wine").
#
# They run the x86-64 build (preset mingw64) from LUMARO_WINDOWS_BUILD_DIR, all
# in one Wine prefix per test run, which the fixture "wine_prefix" makes
# (tests/wine). A test whose program is missing fails and says how to build it.
set(LUMARO_WINDOWS_BUILD_DIR "${CMAKE_SOURCE_DIR}/build/mingw64" CACHE PATH
    "The x86-64 Windows build (preset mingw64) whose programs the wine tests run")
set(LUMARO_WINDOWS_BUILD_DIR_I686 "${CMAKE_SOURCE_DIR}/build/mingw" CACHE PATH
    "The i686 Windows build (preset mingw), run where Wine can start 32-bit programs")
set(LUMARO_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
set(LUMARO_WINE_RUN "${CMAKE_SOURCE_DIR}/tests/wine/run-wine.sh")

# lumaro_add_wine_test(NAME name COMMAND command... [ALSO_I686]
#                      [RESOURCE_LOCK lock...] [TIMEOUT seconds])
#
# The command sees WINEPREFIX (the run's prefix), LUMARO_WINE_RUN (run-wine.sh:
# `$LUMARO_WINE_RUN PROGRAM.exe ARGS...` runs a program there) and
# LUMARO_WINDOWS_BIN (where the Windows programs are). Tests that change the
# same registration in the prefix name the same RESOURCE_LOCK. ALSO_I686 adds
# "name.i686", the same command with the i686 build's programs, which skips
# (and says why) where Wine cannot start 32-bit programs.
function(lumaro_add_wine_test)
  cmake_parse_arguments(WINE "ALSO_I686" "NAME;TIMEOUT" "COMMAND;RESOURCE_LOCK" ${ARGN})
  if(NOT WINE_TIMEOUT)
    set(WINE_TIMEOUT 120)
  endif()
  set(environment
    "WINEPREFIX=${LUMARO_WINE_PREFIX};LUMARO_WINE_RUN=${LUMARO_WINE_RUN};LUMARO_WINDOWS_BIN=${LUMARO_WINDOWS_BUILD_DIR}/bin")
  add_test(NAME ${WINE_NAME} COMMAND ${WINE_COMMAND})
  set(names ${WINE_NAME})
  if(WINE_ALSO_I686)
    add_test(NAME ${WINE_NAME}.i686
             COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/run-i686.sh ${WINE_COMMAND})
    set_tests_properties(${WINE_NAME}.i686 PROPERTIES SKIP_RETURN_CODE 77)
    list(APPEND names ${WINE_NAME}.i686)
    list(APPEND environment "LUMARO_WINDOWS_BIN_I686=${LUMARO_WINDOWS_BUILD_DIR_I686}/bin")
  endif()
  set_tests_properties(${names} PROPERTIES
    LABELS wine
    FIXTURES_REQUIRED wine_prefix
    TIMEOUT ${WINE_TIMEOUT}
    ENVIRONMENT "${environment}")
  if(WINE_RESOURCE_LOCK)
    set_tests_properties(${names} PROPERTIES RESOURCE_LOCK "${WINE_RESOURCE_LOCK}")
  endif()
endfunction()
