# How best to make a group of results durable on the disk: the measurement behind the commit
# queue's choice (fdatasync per file, sync_file_range with fdatasync per group, syncfs).
add_executable(strelmark_bench_sync ${CMAKE_CURRENT_LIST_DIR}/sync_bench.cpp)
