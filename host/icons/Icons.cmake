# Included from host/CMakeLists.txt. The contents icons are the host's resources: CHM_ICON1 ... of
# type GIF, which the module asks for without a module handle.
file(GLOB icon_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/chm_icon*.gif)
set(host_resources)
foreach(file ${icon_files})
    get_filename_component(name ${file} NAME_WE)
    string(TOUPPER ${name} res_name)
    list(APPEND host_resources ${res_name} GIF ${file})
endforeach()
webhelp_embed(${CMAKE_CURRENT_BINARY_DIR}/HostResources.cpp g_WebHelpHostResources ${host_resources})
target_sources(webhelp_host PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/HostResources.cpp)
