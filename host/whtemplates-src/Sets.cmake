# The look of each template set: bar, tabs, navigation bar. Colours are CSS colours.
function(webhelp_set_look name)
    if(name STREQUAL "general")
        # Flat grey bar with square tabs.
        set(look
            BAR_TOP "#F4F4F4" BAR_BOTTOM "#D4D4D4" TITLE_COLOR "#303030"
            BTN_BORDER "#909090" BTN_BG "#E4E4E4" BTN_TXT "#404040"
            SEL_BORDER "#606060" SEL_BG "#FFFFFF" SEL_TXT "#000000"
            TAB_RADIUS "0" TAB_GAP "1px" TAB_PAD "3px 10px 4px 10px"
            NAVBAR_BG "#EDEDED" NAVBAR_LINE "#A0A0A0" PANE_BG "#FFFFFF")
    elseif(name STREQUAL "default")
        # Pale blue bar with slightly rounded tabs.
        set(look
            BAR_TOP "#EEF3FB" BAR_BOTTOM "#C4D4EE" TITLE_COLOR "#1E3E78"
            BTN_BORDER "#7C9CCC" BTN_BG "#DCE6F6" BTN_TXT "#1E3E78"
            SEL_BORDER "#1E4E9C" SEL_BG "#FFFFFF" SEL_TXT "#1E4E9C"
            TAB_RADIUS "3px 3px 0 0" TAB_GAP "2px" TAB_PAD "3px 12px 4px 12px"
            NAVBAR_BG "#E6EDF8" NAVBAR_LINE "#9CB4DC" PANE_BG "#FFFFFF")
    elseif(name STREQUAL "xpblue")
        set(look
            BAR_TOP "#8EB4EE" BAR_BOTTOM "#245EDB" TITLE_COLOR "#FFFFFF"
            BTN_BORDER "#1C4CB8" BTN_BG "#7AA0E8" BTN_TXT "#FFFFFF"
            SEL_BORDER "#FFC83C" SEL_BG "#FFFFFF" SEL_TXT "#1C3C8C"
            TAB_RADIUS "6px 6px 0 0" TAB_GAP "3px" TAB_PAD "3px 14px 4px 14px"
            NAVBAR_BG "#C8D8F8" NAVBAR_LINE "#6C8CD0" PANE_BG "#FFFFFF")
    elseif(name STREQUAL "xpgreen")
        set(look
            BAR_TOP "#D4DEB4" BAR_BOTTOM "#8FA46A" TITLE_COLOR "#2E3A18"
            BTN_BORDER "#6E8446" BTN_BG "#C2D09A" BTN_TXT "#2E3A18"
            SEL_BORDER "#F4A030" SEL_BG "#FFFFFF" SEL_TXT "#3C4C20"
            TAB_RADIUS "6px 6px 0 0" TAB_GAP "3px" TAB_PAD "3px 14px 4px 14px"
            NAVBAR_BG "#E8EED6" NAVBAR_LINE "#A8B888" PANE_BG "#FFFFFF")
    elseif(name STREQUAL "xpsilver")
        set(look
            BAR_TOP "#FAFAFC" BAR_BOTTOM "#BEBDCF" TITLE_COLOR "#3C3C58"
            BTN_BORDER "#9896B0" BTN_BG "#E6E6EE" BTN_TXT "#3C3C58"
            SEL_BORDER "#F0B040" SEL_BG "#FFFFFF" SEL_TXT "#202040"
            TAB_RADIUS "6px 6px 0 0" TAB_GAP "3px" TAB_PAD "3px 14px 4px 14px"
            NAVBAR_BG "#F0F0F4" NAVBAR_LINE "#B4B2C8" PANE_BG "#FFFFFF")
    else()
        message(FATAL_ERROR "unknown template set ${name}")
    endif()
    list(LENGTH look n)
    math(EXPR last "${n} - 1")
    foreach(i RANGE 0 ${last} 2)
        math(EXPR j "${i} + 1")
        list(GET look ${i} key)
        list(GET look ${j} value)
        set(${key} "${value}" PARENT_SCOPE)
    endforeach()
endfunction()
