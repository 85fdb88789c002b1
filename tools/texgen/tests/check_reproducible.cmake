# Runs meshgen and texgen (with the same cjpeg settings as the build) into WORK_DIR and compares
# every file with the one in BIN_DIR byte for byte.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/neomeshes ${WORK_DIR}/pictures ${WORK_DIR}/textures)
execute_process(COMMAND ${MESHGEN} ${WORK_DIR}/neomeshes RESULT_VARIABLE r1 OUTPUT_QUIET)
execute_process(COMMAND ${TEXGEN} ${WORK_DIR}/pictures RESULT_VARIABLE r2)
foreach(name noise blob41b)
  execute_process(COMMAND ${CJPEG} -quality 95 -sample 1x1 -baseline -outfile ${WORK_DIR}/textures/${name}.jpg
                          ${WORK_DIR}/pictures/${name}.ppm RESULT_VARIABLE r3)
endforeach()
if(NOT r1 EQUAL 0 OR NOT r2 EQUAL 0 OR NOT r3 EQUAL 0)
  message(FATAL_ERROR "generation failed: ${r1} ${r2} ${r3}")
endif()
set(different "")
foreach(file neomeshes/escher.obj neomeshes/eschers.obj neomeshes/transf3.obj neomeshes/wings.obj
             neomeshes/credits.obj textures/noise.jpg textures/blob41b.jpg)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/${file} ${BIN_DIR}/${file}
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    list(APPEND different ${file})
  endif()
endforeach()
if(different)
  message(FATAL_ERROR "regenerated files differ: ${different}")
endif()
message("all seven generated files are reproduced byte for byte")
