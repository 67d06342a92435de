# Google Benchmark programs. Build them without sanitizers for real figures
# (scripts/bench does).
find_package(benchmark REQUIRED)
find_package(SQLite3 REQUIRED)
add_executable(update_run_bench update_run_bench.cpp)
target_link_libraries(update_run_bench PRIVATE telo_app telo_sample_db SQLite::SQLite3
  benchmark::benchmark)
