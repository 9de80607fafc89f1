# Included from host/CMakeLists.txt. Derives the five template sets from the one source in this
# folder into whtemplates/<set>/ beside the host program.
set(whtemplates_src ${CMAKE_CURRENT_LIST_DIR})
set(whtemplates_sets general default xpblue xpgreen xpsilver)
set(whtemplates_pages
    whheaderc.tmpl whheaderi.tmpl whheaders.tmpl whheaderbtn.tmpl
    whnavc.tmpl whnavi.tmpl whnavs.tmpl
    whnavcbars.tmpl whnavibars.tmpl whnavsbars.tmpl
    whcontents.tmpl whindex.tmpl whsearch.tmpl
    whheader_js.tmpl)
file(GLOB whtemplates_deps CONFIGURE_DEPENDS ${whtemplates_src}/pages/* ${whtemplates_src}/*.cmake)
set(whtemplates_stamps)
foreach(set ${whtemplates_sets})
    set(out ${CMAKE_BINARY_DIR}/whtemplates/${set})
    file(GLOB set_images CONFIGURE_DEPENDS ${whtemplates_src}/images/${set}/*.gif)
    set(products)
    foreach(page ${whtemplates_pages})
        list(APPEND products ${out}/${page})
    endforeach()
    foreach(image ${set_images})
        get_filename_component(name ${image} NAME)
        list(APPEND products ${out}/${name})
    endforeach()
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/whtemplates-${set}.stamp)
    add_custom_command(
        OUTPUT ${stamp}
        BYPRODUCTS ${products}
        COMMAND ${CMAKE_COMMAND} -DSET=${set} -DSRC=${whtemplates_src} -DOUT=${out} -DSTAMP=${stamp}
                -P ${whtemplates_src}/DeriveSet.cmake
        DEPENDS ${whtemplates_deps} ${set_images}
        COMMENT "Template set ${set}"
        VERBATIM)
    list(APPEND whtemplates_stamps ${stamp})
endforeach()
add_custom_target(whtemplates ALL DEPENDS ${whtemplates_stamps})
add_dependencies(webhelp whtemplates)
