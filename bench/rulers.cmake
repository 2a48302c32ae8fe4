quarlen_bench(bench_rulers LAYERS qn_model SOURCES ${CMAKE_CURRENT_LIST_DIR}/rulers_bench.cpp)
