# The Windows package: build-windows/vornadc-windows.zip with the two
# programs and a short text on using them (ports, SIM, --listen).
set(VORN_ZIP ${CMAKE_BINARY_DIR}/vornadc-windows.zip)
set(VORN_ZIP_STAGE ${CMAKE_BINARY_DIR}/vornadc-windows)
add_custom_command(
  OUTPUT ${VORN_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VORN_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VORN_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vornadc-cli> $<TARGET_FILE:adc-sim>
          ${VORN_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/windows/README.txt
          ${VORN_ZIP_STAGE}/README.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${VORN_ZIP_STAGE} ${CMAKE_COMMAND} -E tar cf ${VORN_ZIP}
          --format=zip vornadc-cli.exe adc-sim.exe README.txt
  DEPENDS vornadc-cli adc-sim ${PROJECT_SOURCE_DIR}/resources/windows/README.txt
  COMMENT "Packing vornadc-windows.zip"
  VERBATIM)
add_custom_target(vornadc_windows_zip ALL DEPENDS ${VORN_ZIP})
