# cmake -DSET=name -DSRC=this folder -DOUT=folder of the set -DSTAMP=file -P DeriveSet.cmake
# Every page of a set is the one source in pages/ filled with the look of the set (Sets.cmake).
include(${SRC}/Sets.cmake)
webhelp_set_look(${SET})

function(derive source target)
    configure_file(${SRC}/pages/${source} ${OUT}/${target} @ONLY NEWLINE_STYLE CRLF)
endfunction()

set(NAV_NAMES c i s)
set(NAV_MAINS whcontents.html whindex.html whsearch.html)
foreach(TAB RANGE 0 2)
    list(GET NAV_NAMES ${TAB} letter)
    list(GET NAV_MAINS ${TAB} MAIN)
    set(NAVBARS whnav${letter}bars.html)
    derive(whheader.tmpl.in whheader${letter}.tmpl)
    derive(whnav.tmpl.in whnav${letter}.tmpl)
    derive(whnavbars.tmpl.in whnav${letter}bars.tmpl)
endforeach()
foreach(page whheaderbtn whcontents whindex whsearch whheader_js)
    derive(${page}.tmpl.in ${page}.tmpl)
endforeach()

file(GLOB images ${SRC}/images/${SET}/*.gif)
file(COPY ${images} DESTINATION ${OUT})
file(TOUCH ${STAMP})
