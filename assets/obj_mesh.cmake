# OBJ meshes: loading, normal generation and drawing (vt_obj), with tests, fuzzer and benchmark.
vt_library(vt_obj
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/obj_mesh_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/obj_mesh_load.cpp
    ${CMAKE_CURRENT_LIST_DIR}/obj_mesh_normals.cpp
    ${CMAKE_CURRENT_LIST_DIR}/obj_mesh_draw.cpp
  LIBS vt::gl)

vt_test(obj_text_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_text_test.cpp LIBS vt_obj)
vt_test(obj_mesh_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_mesh_test.cpp LIBS vt_obj)
vt_test(obj_memory_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_memory_test.cpp LIBS vt_obj)
if(VORTELINE_TESTS OR VORTELINE_FUZZ)
  add_library(vt_obj_reference STATIC ${CMAKE_CURRENT_LIST_DIR}/tests/obj_reference.cpp)
  target_link_libraries(vt_obj_reference PUBLIC vt_obj)
  vt_warnings(vt_obj_reference)
endif()
vt_test(obj_reference_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_reference_test.cpp LIBS vt_obj_reference)
vt_test(obj_weld_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_weld_test.cpp LIBS vt_obj_reference)
if(VORTELINE_TESTS OR VORTELINE_BENCH)
  find_package(tinyobjloader REQUIRED)
  add_library(vt_obj_tinyobj STATIC ${CMAKE_CURRENT_LIST_DIR}/tests/obj_tinyobj.cpp)
  target_link_libraries(vt_obj_tinyobj PUBLIC vt_obj tinyobjloader::tinyobjloader)
  vt_warnings(vt_obj_tinyobj)
endif()
vt_test(obj_oracle_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_oracle_test.cpp LIBS vt_obj_tinyobj)
vt_bench(obj_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench/obj_bench.cpp LIBS vt_obj_tinyobj)
vt_fuzzer(fuzz_obj SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz/obj_fuzz.cpp LIBS vt_obj_reference)
if(VORTELINE_FUZZ)
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz_obj.corpus "${CMAKE_CURRENT_LIST_DIR}/fuzz/obj_corpus\n")
endif()
vt_test(obj_info_tool_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_info_tool_test.cpp)
if(TARGET obj_info_tool_test)
  add_dependencies(obj_info_tool_test obj_info)
endif()
vt_test(obj_draw_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/obj_draw_test.cpp LIBS vt_obj GL)
