# Benchmarks (Google Benchmark), only in the native-bench preset (RESTWELL_BENCH), run by
# `make bench`.
if(RESTWELL_BENCH)
  find_package(benchmark REQUIRED)
  add_executable(restwell_engine_bench ${CMAKE_CURRENT_SOURCE_DIR}/unit/bench/BreakEngineBench.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/unit/NativeRegistryEnv.cpp ${RW_FAKES})
  target_include_directories(restwell_engine_bench PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(restwell_engine_bench PRIVATE restwell_core benchmark::benchmark)
  set_target_properties(restwell_engine_bench PROPERTIES OUTPUT_NAME engine_bench RUNTIME_OUTPUT_DIRECTORY
                        ${CMAKE_BINARY_DIR}/tests)
  # Thirty simulated days of the engine with its invariants checked at every tick.
  add_executable(restwell_engine_soak ${CMAKE_CURRENT_SOURCE_DIR}/unit/bench/EngineSoak.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/shared/RegistryTestEnv.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/unit/NativeRegistryEnv.cpp ${RW_FAKES})
  target_include_directories(restwell_engine_soak PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(restwell_engine_soak PRIVATE restwell_core GTest::gtest)
  set_target_properties(restwell_engine_soak PROPERTIES OUTPUT_NAME engine_soak RUNTIME_OUTPUT_DIRECTORY
                        ${CMAKE_BINARY_DIR}/tests)
endif()
