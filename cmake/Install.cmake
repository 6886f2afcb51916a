# What "cmake --install" puts under the prefix, and the Debian package made of it (cpack -G DEB):
#   bin/                          kestrova-designer, kestrova
#   share/kestrova/help/          the help pages (the Designer looks for them beside its bin/)
#   share/kestrova/examples/      the sample's rules, table, answers and journeys, and the sample project
#   share/man/man1/               the manual pages of both programs
#   share/bash-completion/        the command line's completion
#   share/metainfo/               the Designer's AppStream description
#   share/doc/kestrova/           the copyright file and the changelog
#   share/applications/           the menu entries of the Designer and the player
#   share/mime/packages/          the file types of projects, desktop trees and web trees
#   share/icons/hicolor/          the program's icon: the drawing, and pictures of it in the
#                                 usual sizes, made from the drawing at build time by rsvg-convert
include(GNUInstallDirs)

set(KV_DESKTOP_DIR ${PROJECT_SOURCE_DIR}/resources/desktop)
set(KV_ICON_NAME kestrova-designer)
set(KV_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS kestrova kestrova-designer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova/help
    PATTERN command-line.html EXCLUDE)
file(GLOB KV_EXAMPLE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.rules
    ${PROJECT_SOURCE_DIR}/examples/*.csv ${PROJECT_SOURCE_DIR}/examples/*.answers
    ${PROJECT_SOURCE_DIR}/examples/*.journeys.txt)
install(FILES ${KV_EXAMPLE_FILES} ${PROJECT_BINARY_DIR}/examples/laptop-selector.kvp
    DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova/examples)
install(FILES ${KV_DESKTOP_DIR}/kestrova-designer.desktop ${KV_DESKTOP_DIR}/kestrova-player.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KV_DESKTOP_DIR}/kestrova.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${KV_DESKTOP_DIR}/${KV_ICON_NAME}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The command line's help page and both manual pages, made at build time by kestrova from the
# table its --help lists; the manual pages gzip-compressed as Debian keeps them.
set(KV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(KV_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
find_program(KV_GZIP gzip REQUIRED)
set(KV_REFERENCE_PAGES)
foreach(page "help/command-line.html|--help html|"
        "man/kestrova.1.gz|--help man|${KV_GZIP}"
        "man/kestrova-designer.1.gz|--help man kestrova-designer|${KV_GZIP}")
    string(REPLACE "|" ";" page "${page}")
    list(GET page 0 output)
    list(GET page 1 arguments)
    list(GET page 2 compressor)
    add_custom_command(OUTPUT ${KV_GENERATED_DIR}/${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_GENERATED_DIR}/help ${KV_GENERATED_DIR}/man
        COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:kestrova> "-DARGUMENTS=${arguments}"
            -DOUTPUT=${KV_GENERATED_DIR}/${output} -DGZIP=${compressor} -P ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
        DEPENDS kestrova ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
        COMMENT "Writing ${output} from the command table"
        VERBATIM)
    list(APPEND KV_REFERENCE_PAGES ${KV_GENERATED_DIR}/${output})
endforeach()
add_custom_target(kestrova-reference ALL DEPENDS ${KV_REFERENCE_PAGES})
install(FILES ${KV_GENERATED_DIR}/help/command-line.html DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrova/help)
install(FILES ${KV_GENERATED_DIR}/man/kestrova.1.gz ${KV_GENERATED_DIR}/man/kestrova-designer.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KV_PACKAGING_DIR}/kestrova.bash-completion
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kestrova)
install(FILES ${KV_PACKAGING_DIR}/com.morvane.KestrovaDesigner.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Debian's documents of the package: the copyright file and the changelog (gzip -9n).
add_custom_command(OUTPUT ${KV_GENERATED_DIR}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_GENERATED_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${KV_PACKAGING_DIR}/changelog ${KV_GENERATED_DIR}/changelog
    COMMAND ${KV_GZIP} -9nf ${KV_GENERATED_DIR}/changelog
    DEPENDS ${KV_PACKAGING_DIR}/changelog
    VERBATIM)
add_custom_target(kestrova-changelog ALL DEPENDS ${KV_GENERATED_DIR}/changelog.gz)
install(FILES ${KV_PACKAGING_DIR}/copyright ${KV_GENERATED_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrova)
# A text the programs show keeps a spelling lintian takes for a typo.
install(FILES ${KV_PACKAGING_DIR}/kestrova.lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kestrova)
# Symbols bound at load time, as Debian's hardening asks.
foreach(program kestrova kestrova-designer)
    target_link_options(${program} PRIVATE LINKER:-z,relro LINKER:-z,now)
endforeach()

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
# Lines of at most 80 characters: the package's description keeps them as written.
set(CPACK_PACKAGE_DESCRIPTION "Kestrova Designer builds, checks, compiles and test-runs interactive
decision trees: product selectors, troubleshooting guides and guided forms.
The package holds the Designer, the kestrova command line, the help pages
and a sample project.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The programs' symbols go into a package of their own (kestrova-dbgsym).
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestrova developers <kestrova@morvane.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link are found by dpkg-shlibdeps; the SVG plugins are loaded at run
# time, xdg-open (xdg-utils) opens the help pages in the browser, and spell checking wants a
# dictionary; so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt SQL loads its drivers as plugins, which dpkg-shlibdeps cannot see: external selectors and the
# web results need PostgreSQL's and SQLite's. The libraries found are added after these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-psql, libqt6sql6-sqlite")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, xdg-utils, hunspell-en-us | hunspell-dictionary")
include(CPack)
