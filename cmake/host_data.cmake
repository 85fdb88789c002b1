# The data folders of a cross build. Their generators (meshes, textures, soundtrack) must run on the
# build machine, so a native build of this same source tree, limited to the data targets, runs in
# <build>/host and its folders are copied beside the cross-built program.
include(ExternalProject)

set(VT_HOST_DIR ${CMAKE_BINARY_DIR}/host)
set(VT_DATA_FOLDERS music neomeshes textures Materials PostProcessing misc)

ExternalProject_Add(vt_host_data
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${VT_HOST_DIR}
  CMAKE_GENERATOR Ninja
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DVORTELINE_TESTS=OFF -DVORTELINE_BENCH=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${VT_HOST_DIR} --target vt_show_data data_soundtrack
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

set(copy_commands)
foreach(folder IN LISTS VT_DATA_FOLDERS)
  list(APPEND copy_commands COMMAND ${CMAKE_COMMAND} -E copy_directory ${VT_HOST_DIR}/bin/${folder}
       ${VORTELINE_BIN_DIR}/${folder})
endforeach()
add_custom_target(vt_data_folders ALL ${copy_commands} DEPENDS vt_host_data
                  COMMENT "Copying the data folders beside the program" VERBATIM)
