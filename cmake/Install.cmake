# What "cmake --install" puts under the prefix, and the Debian package made of it (cpack -G DEB):
#   bin/                          kestrova-designer, kestrova
#   share/kestrova/help/          the help pages (the Designer looks for them beside its bin/)
#   share/kestrova/examples/      the sample's rules, table and answers, and the sample project
#   share/applications/           the menu entries of the Designer and the player
#   share/mime/packages/          the file types of projects, desktop trees and web trees
#   share/icons/hicolor/          the program's icon: the drawing, and pictures of it in the
#                                 usual sizes, made from the drawing at build time by rsvg-convert
include(GNUInstallDirs)

set(KV_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/resources/desktop)
set(KV_ICON_NAME kestrova-designer)
set(KV_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS kestrova kestrova-designer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova/help)
file(GLOB KV_EXAMPLE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.rules
    ${PROJECT_SOURCE_DIR}/examples/*.csv ${PROJECT_SOURCE_DIR}/examples/*.answers)
install(FILES ${KV_EXAMPLE_FILES} ${PROJECT_BINARY_DIR}/examples/laptop-selector.kvp
    DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova/examples)
install(FILES ${KV_DESKTOP_DIR}/kestrova-designer.desktop ${KV_DESKTOP_DIR}/kestrova-player.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KV_DESKTOP_DIR}/kestrova.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${KV_DESKTOP_DIR}/${KV_ICON_NAME}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

find_program(KV_RSVG_CONVERT rsvg-convert)
if(KV_RSVG_CONVERT)
    set(icon_pictures)
    foreach(size IN LISTS KV_ICON_SIZES)
        set(folder ${PROJECT_BINARY_DIR}/share/icons/hicolor/${size}x${size}/apps)
        add_custom_command(OUTPUT ${folder}/${KV_ICON_NAME}.png
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
            COMMAND ${KV_RSVG_CONVERT} --width=${size} --height=${size} --format=png
                --output=${folder}/${KV_ICON_NAME}.png ${KV_DESKTOP_DIR}/${KV_ICON_NAME}.svg
            DEPENDS ${KV_DESKTOP_DIR}/${KV_ICON_NAME}.svg
            COMMENT "Drawing the ${size}x${size} icon"
            VERBATIM)
        list(APPEND icon_pictures ${folder}/${KV_ICON_NAME}.png)
        install(FILES ${folder}/${KV_ICON_NAME}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(kestrova-icons ALL DEPENDS ${icon_pictures})
else()
    message(WARNING "rsvg-convert not found (Debian: librsvg2-bin): the icon is installed as a drawing only")
endif()

set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VENDOR "Morvane Corporation")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Designer for interactive decision trees (wizards)")
set(CPACK_PACKAGE_DESCRIPTION "Kestrova Designer builds, checks, compiles and test-runs interactive \
decision trees: product selectors, troubleshooting guides and guided forms. The package holds the \
Designer, the kestrova command line, the help pages and a sample project.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrova developers <kestrova@morvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link are found by dpkg-shlibdeps; the SVG plugins are loaded at run
# time, and xdg-open (xdg-utils) opens the help pages in the browser; so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, xdg-utils")
include(CPack)
