find_program(CHMCMD chmcmd REQUIRED)

# Compiles the help project SRC_DIR/HHP with chmcmd into OUT_CHM (a full path) and adds the
# result to the target `chm_fixtures`. The project is copied first, so the sources stay clean.
function(webhelp_add_chm SRC_DIR HHP OUT_CHM)
    file(GLOB_RECURSE deps CONFIGURE_DEPENDS ${SRC_DIR}/*)
    get_filename_component(name ${OUT_CHM} NAME_WE)
    get_filename_component(out_dir ${OUT_CHM} DIRECTORY)
    string(MAKE_C_IDENTIFIER "${OUT_CHM}" work_name)
    set(work ${CMAKE_BINARY_DIR}/chm-work/${work_name})
    add_custom_command(
        OUTPUT ${OUT_CHM}
        COMMAND ${CMAKE_COMMAND} -DCHMCMD=${CHMCMD} -DSRC=${SRC_DIR} -DWORK=${work} -DHHP=${HHP}
                -DOUT=${OUT_CHM} -P ${PROJECT_SOURCE_DIR}/cmake/CompileChm.cmake
        DEPENDS ${deps} ${PROJECT_SOURCE_DIR}/cmake/CompileChm.cmake
        COMMENT "chmcmd ${HHP} -> ${OUT_CHM}"
        VERBATIM)
    if(NOT TARGET chm_fixtures)
        add_custom_target(chm_fixtures ALL)
    endif()
    string(MAKE_C_IDENTIFIER "chm_${OUT_CHM}" target_name)
    add_custom_target(${target_name} DEPENDS ${OUT_CHM})
    add_dependencies(chm_fixtures ${target_name})
endfunction()
