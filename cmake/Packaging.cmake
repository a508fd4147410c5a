# Desktop integration and the Debian package. The three programs install
# themselves (install(TARGETS ...) beside each target); this adds the menu
# entry, the icons, the manual pages and the CPack settings.

install(FILES ${PROJECT_SOURCE_DIR}/resources/vornadc.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vornadc-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME vornadc.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/vornadc.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/man/vornadc-cli.1
              ${PROJECT_SOURCE_DIR}/resources/man/adc-sim.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vornadc)
set(CPACK_PACKAGE_VENDOR "VORN")
set(CPACK_PACKAGE_CONTACT "VORN ADC console developers <vornadc@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Operator's console for the ADC light-source controller")
set(CPACK_PACKAGE_DESCRIPTION
    "Connects to the ADC controller over RS-232, drives the light source to preset\n"
    "wavelengths, defines its alternating illumination protocol, calibrates the\n"
    "wavelength-to-DA-counts mapping and sends raw commands. Includes vornadc-cli\n"
    "for scripts, the vornadc Python module, and adc-sim, a simulated controller\n"
    "on a pseudo-terminal.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the Qt 6 libraries the programs link (libqt6core6,
# libqt6gui6, libqt6widgets6, libqt6serialport6, libqt6svg6 for the plot saved
# as SVG) and the C++ runtime. The X11 display
# plugin comes with libqt6gui6, and Wayland desktops run it through XWayland,
# so no plugin package needs naming. The SVG library is also named outright:
# saving the plot as SVG is a feature the package promises, whatever the link
# happens to pull in.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(VORN_PACKAGE_DEPENDS "libqt6svg6")
# The vornadc module needs the Python it was built for; shlibdeps cannot see
# that, as an extension module does not link libpython.
if(TARGET vornadc)
  string(APPEND VORN_PACKAGE_DEPENDS ", ${VORN_PYTHON_DEPENDS}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${VORN_PACKAGE_DEPENDS}")
include(CPack)
