# Libraries of the Windows build (mingw-w64 cross build): GLEW, libmpg123 and kissfft from the
# prefix that scripts/windows-deps.sh fills from Debian's source packages, the system's OpenGL,
# GLU, GDI and winmm, and the compiler's runtime linked statically so vorteline.exe stands alone.

if(NOT VORTELINE_WIN64_PREFIX)
  set(VORTELINE_WIN64_PREFIX $ENV{HOME}/.cache/vorteline-win64)
endif()
if(NOT EXISTS ${VORTELINE_WIN64_PREFIX}/.complete)
  message(STATUS "Building the Windows dependencies into ${VORTELINE_WIN64_PREFIX}")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-deps.sh ${VORTELINE_WIN64_PREFIX}
                  RESULT_VARIABLE deps_result)
  if(NOT deps_result EQUAL 0)
    message(FATAL_ERROR "scripts/windows-deps.sh failed (${deps_result})")
  endif()
endif()

add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

# No SDL on Windows: the Win32 backend and the waveOut output take its place.
add_library(vt_sdl2 INTERFACE)
add_library(vt::sdl2 ALIAS vt_sdl2)

add_library(vt_gl INTERFACE)
target_include_directories(vt_gl SYSTEM INTERFACE ${VORTELINE_WIN64_PREFIX}/include)
target_compile_definitions(vt_gl INTERFACE GLEW_STATIC)
target_link_libraries(vt_gl INTERFACE ${VORTELINE_WIN64_PREFIX}/lib/libglew32.a glu32 opengl32 gdi32)
add_library(vt::gl ALIAS vt_gl)

add_library(vt_mpg123 INTERFACE)
target_include_directories(vt_mpg123 SYSTEM INTERFACE ${VORTELINE_WIN64_PREFIX}/include)
target_link_libraries(vt_mpg123 INTERFACE ${VORTELINE_WIN64_PREFIX}/lib/libmpg123.a shlwapi)
add_library(vt::mpg123 ALIAS vt_mpg123)

add_library(vt_kissfft INTERFACE)
target_include_directories(vt_kissfft SYSTEM INTERFACE ${VORTELINE_WIN64_PREFIX}/include/kissfft)
target_compile_definitions(vt_kissfft INTERFACE kiss_fft_scalar=float)
target_link_libraries(vt_kissfft INTERFACE ${VORTELINE_WIN64_PREFIX}/lib/libkissfft-float.a)
add_library(vt::kissfft ALIAS vt_kissfft)
