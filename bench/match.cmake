# The condition search over long lines full of near misses: what a text of thousands of
# characters costs in a line of megabytes, for the byte search and the character search.
add_executable(strelmark_bench_match ${CMAKE_CURRENT_LIST_DIR}/match_bench.cpp)
target_link_libraries(strelmark_bench_match PRIVATE strelmark_text)
