# The figure file as SciPy reads it; skipped (exit 77) without SciPy.
add_executable(figure_file_tool ${CMAKE_CURRENT_LIST_DIR}/figure_file_tool.cpp)
target_link_libraries(figure_file_tool PRIVATE orvane_core)
target_include_directories(figure_file_tool PRIVATE ${PROJECT_SOURCE_DIR}/tests)

# SciPy is installed for the system's Python; another python3 may come first on PATH.
if(EXISTS /usr/bin/python3)
  set(orvane_python /usr/bin/python3)
else()
  find_program(orvane_python python3 REQUIRED)
endif()
add_test(NAME figures.figure_file.scipy_reads
         COMMAND ${orvane_python} ${CMAKE_CURRENT_LIST_DIR}/figure_file_scipy.py
                 $<TARGET_FILE:figure_file_tool> ${CMAKE_CURRENT_BINARY_DIR}/figure_file_scipy)
set_tests_properties(figures.figure_file.scipy_reads PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
