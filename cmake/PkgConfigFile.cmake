# dozerozozu_install_pkgconfig(<name> <template>): configures <template> into <name>.pc and
# installs it into <libdir>/pkgconfig. The file finds its prefix from its own place
# (${pcfiledir}/../..), so an installed tree can be moved as a whole. pkg-config has no way to
# tidy that path; its --define-prefix gives the plain directories (<prefix>/lib rather than
# <prefix>/lib/pkgconfig/../../lib), which is what a run path written into a program wants.
function(dozerozozu_install_pkgconfig name template)
    set(pkgconfigDir "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
    file(RELATIVE_PATH PKGCONFIG_PREFIX_FROM_FILE "/prefix/${pkgconfigDir}" "/prefix")
    string(REGEX REPLACE "/$" "" PKGCONFIG_PREFIX_FROM_FILE "${PKGCONFIG_PREFIX_FROM_FILE}")
    configure_file("${template}" "${CMAKE_CURRENT_BINARY_DIR}/${name}.pc" @ONLY)
    install(FILES "${CMAKE_CURRENT_BINARY_DIR}/${name}.pc" DESTINATION "${pkgconfigDir}")
endfunction()
