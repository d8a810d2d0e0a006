# Where `cmake --install` and the packages put the program and its desktop files: the Debian
# package on Linux; on Windows a portable zip (the installer is desktop/quinbray.wxs.in); for
# the browser a zip of the site.

include(GNUInstallDirs)

if(QUINBRAY_WINDOW_SYSTEM STREQUAL "web")
    # A zip of the site, for any static web server, with the licence.
    install(DIRECTORY "${QUINBRAY_SITE_DIR}/" DESTINATION .)
    install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME License.txt)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "quinbray-${QUINBRAY_SHOWN_VERSION}-web")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGE_VERSION "${QUINBRAY_SHOWN_VERSION}")
    include(CPack)
    return()
endif()

if(WIN32)
    # A zip to unpack anywhere: the program and a short readme, side by side.
    configure_file("${PROJECT_SOURCE_DIR}/desktop/readme-windows.txt.in"
                   "${PROJECT_BINARY_DIR}/Readme.txt" @ONLY NEWLINE_STYLE CRLF)
    configure_file("${PROJECT_SOURCE_DIR}/LICENSE" "${PROJECT_BINARY_DIR}/License.txt"
                   NEWLINE_STYLE CRLF)
    install(TARGETS Quinbray RUNTIME DESTINATION .)
    install(FILES "${PROJECT_BINARY_DIR}/Readme.txt" "${PROJECT_BINARY_DIR}/License.txt"
            DESTINATION .)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(arch x64)
    else()
        set(arch x86)
    endif()
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "quinbray-${QUINBRAY_SHOWN_VERSION}-windows-${arch}")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_PACKAGE_VERSION "${QUINBRAY_SHOWN_VERSION}")
    include(CPack)
    return()
endif()

install(TARGETS Quinbray RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

if(UNIX AND NOT APPLE)
    set(desktop_dir "${PROJECT_BINARY_DIR}/desktop")
    install(FILES "${QUINBRAY_MAN_PAGE}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    install(FILES "${desktop_dir}/copyright" "${QUINBRAY_CHANGELOG}"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/quinbray")
    install(FILES "${desktop_dir}/${QUINBRAY_APP_ID}.desktop"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${desktop_dir}/${QUINBRAY_APP_ID}.metainfo.xml"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
    foreach(size ${QUINBRAY_ICON_SIZES})
        install(FILES "${desktop_dir}/${QUINBRAY_APP_ID}-${size}.png"
                DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
                RENAME "${QUINBRAY_APP_ID}.png")
    endforeach()
    install(FILES "${desktop_dir}/${QUINBRAY_APP_ID}.svg"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
endif()

# cpack: a Debian package whose dependencies dpkg-shlibdeps works out from the binary.
set(CPACK_PACKAGE_NAME quinbray)
set(CPACK_PACKAGE_VERSION "${QUINBRAY_SHOWN_VERSION}")
set(CPACK_PACKAGE_VENDOR "Quinbray")
set(CPACK_PACKAGE_CONTACT "Quinbray developers <developers@quinbray.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Lines of at most 80 columns, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A small desktop calculator for people who lay out weighing scales built on\n"
    "load cells. From the excitation voltage, the number of cells, the division\n"
    "size, one cell's capacity and the cells' rating in mV/V, it shows the signal\n"
    "in microvolts that one displayed increment produces at the cells' output.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries the binary links: Qt's X11 and Wayland plugins, which Qt's own package
# only recommends.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
