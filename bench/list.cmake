# The file list with a million rows.
add_executable(list_bench ${CMAKE_CURRENT_LIST_DIR}/list_bench.cpp)
target_link_libraries(list_bench PRIVATE strelmark_window strelmark_test_support)
