# Shared build settings and helpers for every folder of the project.

find_package(PkgConfig REQUIRED)
if(WIN32)
  # The Windows build has no SDL: its libraries come from the dependency prefix (cmake/windows.cmake).
  include(windows)
else()
  find_package(OpenGL REQUIRED COMPONENTS OpenGL)
  # GLEW, stb and imgui come as static archives too: the program links those into itself, so the
  # Linux release needs fewer runtime packages (scripts/runtime-packages.txt lists the rest).
  find_library(VT_GLEW_ARCHIVE NAMES libGLEW.a)
  if(VT_GLEW_ARCHIVE)
    set(GLEW_USE_STATIC_LIBS ON)
  endif()
  find_package(GLEW REQUIRED)
  find_package(SDL2 REQUIRED)
  # The imported targets are made here, for every folder: the later look-ups of the same modules
  # (capture/, shell/) keep them.
  pkg_check_modules(STB REQUIRED IMPORTED_TARGET GLOBAL stb)
  find_library(VT_STB_ARCHIVE NAMES libstb.a)
  if(VT_STB_ARCHIVE)
    set_property(TARGET PkgConfig::STB PROPERTY INTERFACE_LINK_LIBRARIES ${VT_STB_ARCHIVE} m)
  endif()
  pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET GLOBAL imgui)
  find_library(VT_IMGUI_ARCHIVE NAMES libimgui.a)
  if(VT_IMGUI_ARCHIVE)
    set_property(TARGET PkgConfig::IMGUI PROPERTY INTERFACE_LINK_LIBRARIES ${VT_IMGUI_ARCHIVE} PkgConfig::STB)
  endif()
endif()

if(NOT TARGET vt::sdl2)
  add_library(vt_sdl2 INTERFACE)
  if(TARGET SDL2::SDL2)
    target_link_libraries(vt_sdl2 INTERFACE SDL2::SDL2)
  else()
    target_include_directories(vt_sdl2 INTERFACE ${SDL2_INCLUDE_DIRS})
    target_link_libraries(vt_sdl2 INTERFACE ${SDL2_LIBRARIES})
  endif()
  add_library(vt::sdl2 ALIAS vt_sdl2)

  # OpenGL with GLU and GLEW: the engine uses fixed-function GL, GLU and extensions.
  find_library(VT_GLU_LIBRARY GLU REQUIRED)
  add_library(vt_gl INTERFACE)
  target_link_libraries(vt_gl INTERFACE GLEW::GLEW OpenGL::GL ${VT_GLU_LIBRARY})
  add_library(vt::gl ALIAS vt_gl)
endif()

# Warnings for our own code.
function(vt_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra)
  endif()
endfunction()

# vt_library(name SOURCES ... LIBS ...): a static library of our own code; the repository root is
# the include root, so headers are included as "engine/vec3.h".
function(vt_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  vt_warnings(${name})
endfunction()

# vt_executable(name SOURCES ... LIBS ...): a program or tool, written to build/bin.
function(vt_executable name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  vt_warnings(${name})
endfunction()

# Runs a test's command under an X server of its own.
set(VT_WITH_DISPLAY ${PROJECT_SOURCE_DIR}/tests/support/with-display.sh)

# vt_test(name SOURCES ... LIBS ... [GL] [LABELS ...] [TIMEOUT s]): a GoogleTest executable
# registered with CTest. GL tests need a display: each runs under an X server of its own
# (tests/support/with-display.sh), and carries the label "gl"; the others carry "unit".
function(vt_test name)
  if(NOT VORTELINE_TESTS)
    return()
  endif()
  cmake_parse_arguments(A "GL" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  vt_warnings(${name})
  set(labels ${A_LABELS})
  if(A_GL)
    target_link_libraries(${name} PRIVATE vt_test_gl)
    list(APPEND labels gl)
  else()
    list(APPEND labels unit)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  if(A_GL)
    add_test(NAME ${name} COMMAND ${VT_WITH_DISPLAY} $<TARGET_FILE:${name}>
             WORKING_DIRECTORY ${VORTELINE_BIN_DIR})
  else()
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${VORTELINE_BIN_DIR})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${A_TIMEOUT})
endfunction()

# vt_bench(name SOURCES ... LIBS ...): a Google Benchmark executable (not run by the tests).
function(vt_bench name)
  if(NOT VORTELINE_BENCH)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark)
  vt_warnings(${name})
endfunction()

# vt_fuzzer(name SOURCES ... LIBS ...): a libFuzzer target, only in fuzz builds (clang).
function(vt_fuzzer name)
  if(NOT VORTELINE_FUZZ)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
