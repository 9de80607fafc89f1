# webhelp_embed(OUT_CPP SYMBOL NAME TYPE FILE [NAME TYPE FILE ...])
# Generates OUT_CPP defining `const SResourceTable SYMBOL` with the bytes of each FILE, looked up
# by NAME and TYPE at run time (CXResource). Regenerated when a file changes.
function(webhelp_embed OUT_CPP SYMBOL)
    set(args ${ARGN})
    set(files)
    set(entries)
    list(LENGTH args n)
    math(EXPR last "${n} - 1")
    foreach(i RANGE 0 ${last} 3)
        math(EXPR j "${i} + 1")
        math(EXPR k "${i} + 2")
        list(GET args ${i} name)
        list(GET args ${j} type)
        list(GET args ${k} file)
        list(APPEND files ${file})
        list(APPEND entries "${name}|${type}|${file}")
    endforeach()
    string(REPLACE ";" "\n" entries_text "${entries}")
    set(entries_file ${OUT_CPP}.list)
    file(WRITE ${entries_file}.tmp "${entries_text}\n")
    file(COPY_FILE ${entries_file}.tmp ${entries_file} ONLY_IF_DIFFERENT)
    add_custom_command(
        OUTPUT ${OUT_CPP}
        COMMAND ${CMAKE_COMMAND} -DLIST=${entries_file} -DOUT=${OUT_CPP} -DSYMBOL=${SYMBOL}
                -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
        DEPENDS ${files} ${entries_file} ${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake
        COMMENT "Embedding resources into ${OUT_CPP}"
        VERBATIM)
endfunction()
