# cmake -DCHMCMD= -DSRC= -DWORK= -DHHP= -DOUT= -P CompileChm.cmake
file(REMOVE_RECURSE ${WORK})
file(COPY ${SRC}/ DESTINATION ${WORK})
execute_process(COMMAND ${CHMCMD} --no-html-scan --verbosity 1 ${HHP}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
file(GLOB chms ${WORK}/*.chm)
list(LENGTH chms count)
if(NOT rc EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "chmcmd failed on ${SRC}/${HHP} (exit ${rc}):\n${log}")
endif()
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
file(COPY_FILE ${chms} ${OUT})
