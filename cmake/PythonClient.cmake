# folian_python_env(VAR PRELOAD_VAR): the environment a test needs to run the Python scripting
# client against this build's libfolian32 (the library, the module path and, in a
# sanitizer build, the sanitizer runtimes the uninstrumented interpreter lacks,
# also offered as FOLIAN_PYTHON_PRELOAD for scripts that start python3 themselves).
function(folian_python_env var preload_var)
  set(preload "")
  set(env "FOLIAN32_LIBRARY=$<TARGET_FILE:folian32>"
          "PYTHONPATH=${CMAKE_SOURCE_DIR}/python:${CMAKE_SOURCE_DIR}/tests/python")
  if(FOLIAN_SANITIZE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so OUTPUT_VARIABLE asan
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libubsan.so OUTPUT_VARIABLE ubsan
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    set(preload "${asan}:${ubsan}")
    list(APPEND env "FOLIAN_PYTHON_PRELOAD=${preload}" "ASAN_OPTIONS=detect_leaks=0")
  endif()
  set(${var} "${env}" PARENT_SCOPE)
  set(${preload_var} "${preload}" PARENT_SCOPE)
endfunction()
