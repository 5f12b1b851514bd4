# folian_layer(NAME DIR [DEPS...])
# Builds every .cpp under DIR (one level) into a static library NAME that links DEPS.
# A layer that has no sources yet is an interface library, so the targets above it
# can name it already. Includes are rooted at the repository, e.g. "pdf/object/PDValue.h".
function(folian_layer name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${dir}/*.cpp")
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# folian_test(NAME DIR LIBS...)
# One GoogleTest executable per source folder, from every *_test.cpp in tests/DIR.
function(folian_test name dir)
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${dir}/*_test.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}" "${CMAKE_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    FOLIAN_TEST_OUTPUT="${FOLIAN_TEST_OUTPUT}"
    FOLIAN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    FOLIAN_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # A test that registers the library's classes does so in the test output, never
  # in the user's data folder.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300
                       ENVIRONMENT "FOLIAN_REGISTRY=${FOLIAN_TEST_OUTPUT}/registry/${name}")
endfunction()
