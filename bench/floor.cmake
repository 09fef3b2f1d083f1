# The command line against the floor of its job: a plain program that reads and writes each
# file again (the floor), a plain streaming program that does the job (the reference), and
# the benchmark that times both beside the program, cp, sed, perl and sd. make bench-floor.
find_package(Threads REQUIRED)
add_executable(strelmark_floor ${CMAKE_CURRENT_LIST_DIR}/floor.cpp)
add_executable(strelmark_plain ${CMAKE_CURRENT_LIST_DIR}/plain_remove.cpp)
target_link_libraries(strelmark_floor PRIVATE Threads::Threads)
target_link_libraries(strelmark_plain PRIVATE Threads::Threads)

add_executable(floor_bench ${CMAKE_CURRENT_LIST_DIR}/floor_bench.cpp)
add_dependencies(floor_bench strelmark strelmark_corpus strelmark_floor strelmark_plain)
