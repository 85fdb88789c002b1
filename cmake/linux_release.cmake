# The Linux release: the program, its data folders and vorteline.nfo in one folder "vorteline",
# installed by `cmake --install` and packed by CPack into <build>/vorteline-linux-x86_64.tar.gz
# (scripts/linux-release.sh). Only the program goes in: no tests, tools or benchmarks.
set(VT_RELEASE_FOLDERS music neomeshes textures Materials PostProcessing misc)

install(TARGETS vorteline RUNTIME DESTINATION vorteline)
foreach(folder IN LISTS VT_RELEASE_FOLDERS)
  install(DIRECTORY ${VORTELINE_BIN_DIR}/${folder} DESTINATION vorteline)
endforeach()

# vorteline.nfo lists the runtime packages of scripts/runtime-packages.txt, one a line with what
# it is for, and the apt-get command that installs them all.
set(VT_RUNTIME_PACKAGES_FILE ${PROJECT_SOURCE_DIR}/scripts/runtime-packages.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VT_RUNTIME_PACKAGES_FILE})
file(STRINGS ${VT_RUNTIME_PACKAGES_FILE} runtime_lines REGEX "^[a-z0-9]")
set(VT_NFO_PACKAGES "")
set(apt_line "      sudo apt-get install")
set(VT_NFO_APT "")
foreach(line IN LISTS runtime_lines)
  string(REGEX MATCH "^([^ ]+) *(.*)$" matched "${line}")
  set(package "${CMAKE_MATCH_1}")
  set(purpose "${CMAKE_MATCH_2}")
  string(LENGTH "${package}" length)
  math(EXPR dots "21 - ${length}")
  if(dots LESS 2)
    set(dots 2)
  endif()
  string(REPEAT "." ${dots} leader)
  string(APPEND VT_NFO_PACKAGES "      ${package} ${leader} ${purpose}\n")
  # The command, wrapped at 76 columns.
  string(LENGTH "${apt_line} ${package}" wide)
  if(wide GREATER 76)
    string(APPEND VT_NFO_APT "${apt_line} \\\n")
    set(apt_line "        ${package}")
  else()
    string(APPEND apt_line " ${package}")
  endif()
endforeach()
string(APPEND VT_NFO_APT "${apt_line}")
string(REGEX REPLACE "\n$" "" VT_NFO_PACKAGES "${VT_NFO_PACKAGES}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/vorteline-linux.nfo.in ${CMAKE_BINARY_DIR}/release/vorteline.nfo @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/release/vorteline.nfo DESTINATION vorteline)

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME vorteline)
set(CPACK_PACKAGE_VENDOR "Quorl vs Vantry")
set(CPACK_PACKAGE_FILE_NAME vorteline-linux-x86_64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# The archive holds the folder "vorteline" itself (the install destination), nothing above it.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
