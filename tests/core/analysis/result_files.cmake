# The result MAT-files read by other programs (SciPy) and written by another (GNU Octave).
# Both tests are skipped (exit 77) when that program is not installed.
add_executable(result_files_tool ${CMAKE_CURRENT_LIST_DIR}/result_files_tool.cpp)
target_link_libraries(result_files_tool PRIVATE orvane_core)
target_include_directories(result_files_tool PRIVATE ${PROJECT_SOURCE_DIR}/tests)

# SciPy is installed for the system's Python; another python3 may come first on PATH.
if(EXISTS /usr/bin/python3)
  set(orvane_python /usr/bin/python3)
else()
  find_program(orvane_python python3 REQUIRED)
endif()
add_test(NAME analysis.result_files.scipy_reads
         COMMAND ${orvane_python} ${CMAKE_CURRENT_LIST_DIR}/result_files_scipy.py
                 $<TARGET_FILE:result_files_tool> ${CMAKE_CURRENT_BINARY_DIR}/result_files_scipy)
add_test(NAME analysis.result_files.octave_writes
         COMMAND result_files_tool octave ${CMAKE_CURRENT_LIST_DIR}/result_files_octave.m
                 ${CMAKE_CURRENT_BINARY_DIR}/result_files_octave)
set_tests_properties(analysis.result_files.scipy_reads analysis.result_files.octave_writes PROPERTIES
                     SKIP_RETURN_CODE 77 TIMEOUT 120)
