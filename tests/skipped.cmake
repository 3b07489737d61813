# Prints each test that was skipped in the last CTest run, with the reason
# its GoogleTest skip gave: CTest shows only the output of failed tests.
# Usage: cmake -DLOG=build/Testing/Temporary/LastTest.log -P skipped.cmake
file(READ "${LOG}" log)
string(REGEX MATCHALL "Skipped\n[^\n]*\n\\[  SKIPPED \\] [^ \n]+" hits
  "${log}")
list(LENGTH hits n)
if(n EQUAL 0)
  message("No test was skipped.")
  return()
endif()
message("${n} tests were skipped:")
foreach(hit IN LISTS hits)
  string(REGEX REPLACE "Skipped\n([^\n]*)\n\\[  SKIPPED \\] ([^ \n]+)"
    "  \\2: \\1" line "${hit}")
  message("${line}")
endforeach()
