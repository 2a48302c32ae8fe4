quarlen_bench(bench_ultrasound LAYERS qn_ultrasound SOURCES ${CMAKE_CURRENT_LIST_DIR}/ultrasound_bench.cpp)
