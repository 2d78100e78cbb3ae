# Compiles Linguist sources (.ts) into .qm files and writes a resource file that holds them
# under a prefix, so that a target compiles its translations in.
#   compile_translations(<qm files var> <qrc path var> <qrc file name> <resource prefix> <ts files...>)
function(compile_translations qmFilesVar qrcVar qrcName prefix)
    qt5_add_translation(qmFiles ${ARGN})
    set(qrcEntries "")
    foreach(qmFile ${qmFiles})
        get_filename_component(qmName "${qmFile}" NAME)
        string(APPEND qrcEntries "        <file alias=\"${qmName}\">${qmFile}</file>\n")
    endforeach()
    set(qrc "${CMAKE_CURRENT_BINARY_DIR}/${qrcName}")
    # Written through configure_file() so that an unchanged list does not rebuild the resources.
    file(WRITE "${qrc}.in" "<RCC>\n    <qresource prefix=\"${prefix}\">\n${qrcEntries}    </qresource>\n</RCC>\n")
    configure_file("${qrc}.in" "${qrc}" COPYONLY)
    set(${qmFilesVar} ${qmFiles} PARENT_SCOPE)
    set(${qrcVar} "${qrc}" PARENT_SCOPE)
endfunction()
