# The text core's benchmark: the corpus generator, the timing program and, for one of its
# probes, a preload library that makes fsync a no-op. Run it with bench/run-core.sh, or with
# the bench-core target of a configured build.
add_executable(strelmark_corpus ${CMAKE_CURRENT_LIST_DIR}/corpus.cpp)

add_executable(strelmark_bench_core ${CMAKE_CURRENT_LIST_DIR}/core_bench.cpp)
target_link_libraries(strelmark_bench_core PRIVATE strelmark_engine strelmark_undo strelmark_base)
add_dependencies(strelmark_bench_core strelmark_corpus strelmark_nosync)

add_library(strelmark_nosync MODULE ${CMAKE_CURRENT_LIST_DIR}/nosync.cpp)
set_target_properties(strelmark_nosync PROPERTIES PREFIX "lib")

add_custom_target(bench-core
  COMMAND strelmark_bench_core
  DEPENDS strelmark_bench_core
  USES_TERMINAL
  COMMENT "Timing the text core against cp -r and sed")
