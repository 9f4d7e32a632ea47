# orvandel_library(name dir deps...): a static library from the sources of one
# folder (not its sub-folders), found by glob so that adding a unit needs no
# edit of a CMake file.
function(orvandel_library name dir)
  file(GLOB _src CONFIGURE_DEPENDS
       ${dir}/*.cpp ${dir}/*.c ${dir}/*.h ${dir}/*.ui ${dir}/*.qrc)
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
  # A header added to the folder must make moc run again: with Ninja the
  # autogen step only follows the headers it has already seen, so a changed
  # list of headers removes its time stamp.
  set(_hdr ${_src})
  list(FILTER _hdr INCLUDE REGEX "\\.h$")
  string(JOIN "\n" _liste ${_hdr})
  set(_fichier ${CMAKE_CURRENT_BINARY_DIR}/${name}_headers.txt)
  set(_ancienne "")
  if(EXISTS ${_fichier})
    file(READ ${_fichier} _ancienne)
  endif()
  if(NOT _ancienne STREQUAL _liste)
    file(WRITE ${_fichier} "${_liste}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/timestamp)
  endif()
endfunction()

# Files written by other tools, for the tests: beside the repository, or two
# levels up for a git worktree kept in a sub-folder. -DORVANDEL_TEST_DATA_DIR=
# overrides; so does ORVANDEL_TEST_DATA in a test's environment. (The test
# properties carry a single environment entry: gtest_discover_tests splits a
# list of them into bogus properties.)
if(NOT DEFINED ORVANDEL_TEST_DATA_DIR)
  set(ORVANDEL_TEST_DATA_DIR ${PROJECT_SOURCE_DIR}/../shared/testdata)
  if(NOT EXISTS ${ORVANDEL_TEST_DATA_DIR} AND EXISTS ${PROJECT_SOURCE_DIR}/../../shared/testdata)
    set(ORVANDEL_TEST_DATA_DIR ${PROJECT_SOURCE_DIR}/../../shared/testdata)
  endif()
endif()

# orvandel_add_test(source): one GoogleTest program per test source; every
# case runs in its own process with its own TMPDIR and program folder (see
# tests/support/test_main.cpp), so the suite is safe under ctest -j.
function(orvandel_add_test src)
  get_filename_component(_name ${src} NAME_WE)
  get_filename_component(_dir ${src} DIRECTORY)
  get_filename_component(_sub ${_dir} NAME)
  set(_target ${_sub}_${_name})
  add_executable(${_target} ${src})
  target_link_libraries(${_target} PRIVATE orvandel_testsupport)
  gtest_discover_tests(${_target}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               TIMEOUT 300)
endfunction()
