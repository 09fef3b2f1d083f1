# "Start Removing" through the real window over the corpus tree, against cp -r, sed and the
# command line.
add_executable(run_bench ${CMAKE_CURRENT_LIST_DIR}/run_bench.cpp)
target_link_libraries(run_bench PRIVATE strelmark_window strelmark_test_support)
add_dependencies(run_bench strelmark strelmark_corpus)
