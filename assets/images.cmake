# Image files into textures (vt_images), and the tests, tool test and benchmark of the JPEG
# decoder (the decoder itself and its fuzz target live in jpeg/).
set(images_dir ${CMAKE_CURRENT_LIST_DIR})

vt_library(vt_images SOURCES ${images_dir}/image_texture.cpp LIBS vt_jpeg vt_engine vt::gl)

if(VORTELINE_TESTS OR VORTELINE_BENCH)
  # Reference-tool helpers shared by the tests and the benchmark.
  vt_library(vt_jpeg_test_support SOURCES ${images_dir}/tests/image_jpeg_support.cpp LIBS vt_jpeg)
endif()

vt_test(image_jpeg_conformance_test SOURCES ${images_dir}/tests/image_jpeg_conformance_test.cpp
  LIBS vt_jpeg_test_support TIMEOUT 600)
vt_test(image_jpeg_errors_test SOURCES ${images_dir}/tests/image_jpeg_errors_test.cpp LIBS vt_jpeg_test_support)
vt_test(image_jpeg_memory_test SOURCES ${images_dir}/tests/image_jpeg_memory_test.cpp LIBS vt_jpeg_test_support)
vt_test(image_jpeg_idct_test SOURCES ${images_dir}/tests/image_jpeg_idct_test.cpp LIBS vt_jpeg)
vt_test(image_jpeg_color_test SOURCES ${images_dir}/tests/image_jpeg_color_test.cpp LIBS vt_jpeg)
vt_test(image_jpeg_tool_test SOURCES ${images_dir}/tests/image_jpeg_tool_test.cpp LIBS vt_jpeg_test_support)
if(TARGET image_jpeg_tool_test)
  add_dependencies(image_jpeg_tool_test jpeg_decode)
endif()
vt_test(image_texture_test SOURCES ${images_dir}/tests/image_texture_test.cpp LIBS vt_images vt_jpeg_test_support GL)

vt_bench(image_jpeg_bench SOURCES ${images_dir}/jpeg/bench/image_jpeg_bench.cpp
  LIBS vt_jpeg_test_support turbojpeg stb)
