# The command line over the corpus tree with 1, 2 and all processors, in place, against cp -r
# and sed; and its start-up. Run it with bench/run-cli.sh (make bench-cli).
add_executable(cli_bench ${CMAKE_CURRENT_LIST_DIR}/cli_bench.cpp)
add_dependencies(cli_bench strelmark strelmark_corpus)
