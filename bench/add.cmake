# "Add All HTML Files In Folder" through the window over 100,000 files, against find.
add_executable(add_bench ${CMAKE_CURRENT_LIST_DIR}/add_bench.cpp)
target_link_libraries(add_bench PRIVATE strelmark_window strelmark_test_support)
