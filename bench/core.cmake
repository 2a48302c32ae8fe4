quarlen_bench(bench_core LAYERS qn_core SOURCES ${CMAKE_CURRENT_LIST_DIR}/core_bench.cpp)
