quarlen_bench(bench_rulers LAYERS qn_axis SOURCES ${CMAKE_CURRENT_LIST_DIR}/rulers_bench.cpp)
