quarlen_bench(bench_events LAYERS qn_notify SOURCES ${CMAKE_CURRENT_LIST_DIR}/events_bench.cpp)
