quarlen_bench(bench_model LAYERS qn_axis SOURCES ${CMAKE_CURRENT_LIST_DIR}/model_bench.cpp)
