# telo-sample-db and the library that makes sample stand-in host databases
# for the tests, the demo and the benchmark.
add_library(telo_sample_db STATIC sample_db.cpp)
target_link_libraries(telo_sample_db PUBLIC telo_platform)

add_executable(telo-sample-db telo_sample_db.cpp)
target_link_libraries(telo-sample-db PRIVATE telo_sample_db)

telo_add_test(sample_db_test SOURCES sample_db_test.cpp LIBS telo_sample_db telo_patch)
target_compile_definitions(sample_db_test PRIVATE TELO_SAMPLE_DB_TOOL="$<TARGET_FILE:telo-sample-db>")
add_dependencies(sample_db_test telo-sample-db)
