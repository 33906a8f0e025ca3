# What `cmake --install` puts where, and the Debian package made of it (`make deb`).
#   bin/                       quillmark, quillmark-cli
#   share/quillmark/           Project Files/, Data Files/ (the samples)
#   share/applications/        the menu entry, opening project files
#   share/metainfo/            the software centre's description
#   share/mime/packages/       project files recognised by their first element
#   share/icons/hicolor/       the icon, as SVG and PNGs
#   share/man/man1/            quillmark.1, quillmark-cli.1

set(QUILLMARK_APP_ID com.orvane.Quillmark)
set(QUILLMARK_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS quillmark quillmark-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY "${PROJECT_SOURCE_DIR}/Project Files" "${PROJECT_SOURCE_DIR}/Data Files"
        DESTINATION ${QUILLMARK_DATA_DIR})
install(FILES ${QUILLMARK_PACKAGING}/${QUILLMARK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLMARK_PACKAGING}/${QUILLMARK_APP_ID}.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)

# The metainfo takes its release from the project.
configure_file(${QUILLMARK_PACKAGING}/${QUILLMARK_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${QUILLMARK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${QUILLMARK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon: drawn as SVG, rendered to the PNG sizes menus and docks ask for.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_svg ${QUILLMARK_PACKAGING}/${QUILLMARK_APP_ID}.svg)
set(icon_pngs)
foreach(size 16 22 24 32 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/${QUILLMARK_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
        DEPENDS ${icon_svg} VERBATIM)
    list(APPEND icon_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The manual pages, with the version filled in and compressed as Debian keeps them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_pages)
foreach(page quillmark.1 quillmark-cli.1)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
        COMMAND ${GZIP_PROGRAM} -9 -n -f -k ${CMAKE_BINARY_DIR}/man/${page}
        DEPENDS ${CMAKE_BINARY_DIR}/man/${page} VERBATIM)
    list(APPEND man_pages ${CMAKE_BINARY_DIR}/man/${page}.gz)
    install(FILES ${CMAKE_BINARY_DIR}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

add_custom_target(quillmark_install_files ALL DEPENDS ${icon_pngs} ${man_pages})

# The Debian package: the installed files under /usr, its dependencies read off the programs'
# shared libraries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "daily market series and a trend-following strategy")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillmark imports delimited price files, charts a series and its smoothed curve, computes\n\
the potential gains per year, simulates a trend-following strategy with a hysteresis band and\n\
a charge per trade, optimises its parameters and tests them out of sample. It comes as a\n\
desktop program (quillmark) and a command line (quillmark-cli).")
set(CPACK_PACKAGE_CONTACT "Quillmark developers <quillmark@orvane.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
include(CPack)
