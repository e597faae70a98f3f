# The opener's tests load liblaunchdoc.so through the program's loader, which finds it in the
# test program's ../lib as the desktop program does; the failure table is compiled in to check
# every code.
target_sources(launchdoc_tests PRIVATE ${PROJECT_SOURCE_DIR}/src/launchdoc/failures.c)
target_include_directories(launchdoc_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(launchdoc_tests PRIVATE LAUNCHDOC_FILE="$<TARGET_FILE:launchdoc>")
add_dependencies(launchdoc_tests launchdoc)

# The library exports its entry and nothing else, and needs nothing of the program.
add_test(NAME launchdoc.exports
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/exports_test.sh $<TARGET_FILE:launchdoc>)
