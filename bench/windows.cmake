quarlen_bench(bench_windows LAYERS qn_gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/windows_bench.cpp)
