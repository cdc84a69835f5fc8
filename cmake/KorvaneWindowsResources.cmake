# The Windows resources of every executable: an application manifest, a version resource and
# the icon of the wizard's form (cmake/windows/). Nothing elsewhere.
#
# korvane_windows_resources(<target> DESCRIPTION <text> [VERSION <a.b.c.d>] [INTERNAL_NAME <name>]
#                           [FILE_NAME <name.exe>])
# VERSION defaults to the project's, INTERNAL_NAME to the target's name, FILE_NAME to the name
# the target is built under.
set(KORVANE_WINDOWS_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/windows)

if(WIN32)
    # The icon is drawn as the form draws its own (frmOptionPanel.cpp, iconImage): a blue disc
    # with a white downward arrow, once with 256 colours and once with 32 bits a pixel.
    find_program(KORVANE_CONVERT convert REQUIRED)
    find_program(KORVANE_ICOTOOL icotool REQUIRED)
    set(KORVANE_ICON ${PROJECT_BINARY_DIR}/windows/korvane.ico)
    set(icon_dir ${PROJECT_BINARY_DIR}/windows)
    add_custom_command(OUTPUT ${KORVANE_ICON}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${icon_dir}
        COMMAND ${KORVANE_CONVERT} -size 32x32 xc:none -fill "#0054A6" -draw "circle 16,16 16,1"
                -fill white -draw "polygon 13,7 19,7 19,16 24,16 16,25 8,16 13,16" PNG32:${icon_dir}/icon-32.png
        # 256 colours have no partial transparency: an edge pixel is in or out.
        COMMAND ${KORVANE_CONVERT} ${icon_dir}/icon-32.png -channel A -threshold 50% +channel PNG8:${icon_dir}/icon-8.png
        COMMAND ${KORVANE_ICOTOOL} -c -o ${KORVANE_ICON} -b 8 ${icon_dir}/icon-8.png -b 32 ${icon_dir}/icon-32.png
        VERBATIM)
    add_custom_target(korvane_icon DEPENDS ${KORVANE_ICON})
endif()

function(korvane_windows_resources target)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(arg "" "DESCRIPTION;VERSION;INTERNAL_NAME;FILE_NAME" "" ${ARGN})
    if(NOT arg_DESCRIPTION)
        message(FATAL_ERROR "korvane_windows_resources(${target}): no DESCRIPTION")
    endif()
    set(KORVANE_RC_VERSION ${arg_VERSION})
    if(NOT KORVANE_RC_VERSION)
        set(KORVANE_RC_VERSION ${PROJECT_VERSION})
    endif()
    foreach(version IN ITEMS ${KORVANE_RC_VERSION} ${PROJECT_VERSION})
        if(NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
            message(FATAL_ERROR "korvane_windows_resources(${target}): ${version} is not a version of four numbers")
        endif()
    endforeach()
    set(KORVANE_RC_INTERNAL_NAME ${arg_INTERNAL_NAME})
    if(NOT KORVANE_RC_INTERNAL_NAME)
        set(KORVANE_RC_INTERNAL_NAME ${target})
    endif()
    set(KORVANE_RC_FILE_NAME ${arg_FILE_NAME})
    if(NOT KORVANE_RC_FILE_NAME)
        get_target_property(output_name ${target} OUTPUT_NAME)
        if(NOT output_name)
            set(output_name ${target})
        endif()
        set(KORVANE_RC_FILE_NAME ${output_name}.exe)
    endif()
    set(KORVANE_RC_DESCRIPTION ${arg_DESCRIPTION})
    string(REPLACE "." "," KORVANE_RC_VERSION_COMMAS ${KORVANE_RC_VERSION})
    string(REPLACE "." "," KORVANE_RC_PRODUCT_VERSION_COMMAS ${PROJECT_VERSION})
    set(KORVANE_RC_ICON ${KORVANE_ICON})

    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
    set(KORVANE_RC_MANIFEST ${dir}/${target}.manifest)
    configure_file(${KORVANE_WINDOWS_RESOURCES}/app.manifest.in ${KORVANE_RC_MANIFEST} @ONLY)
    configure_file(${KORVANE_WINDOWS_RESOURCES}/version.rc.in ${dir}/${target}.rc @ONLY)
    target_sources(${target} PRIVATE ${dir}/${target}.rc)
    set_source_files_properties(${dir}/${target}.rc PROPERTIES OBJECT_DEPENDS "${KORVANE_RC_MANIFEST};${KORVANE_ICON}")
    add_dependencies(${target} korvane_icon)
endfunction()
