# What the undo store adds to an in-place run of 10,000 small files, against the same commits
# without it.
add_executable(undo_bench ${CMAKE_CURRENT_LIST_DIR}/undo_bench.cpp)
target_link_libraries(undo_bench PRIVATE strelmark_engine strelmark_undo)
