# What `cmake --install` puts under the prefix, and the Debian package made from it.
# The programs look for their data relative to themselves (bin/../share/orvex), so the
# layout is fixed rather than taken from GNUInstallDirs.
set(ORVEX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(ORVEX_APP_ID app.orvex.Orvex)
# Directories made by the install are world-readable whatever the umask of the one who
# builds; the package would carry the umask otherwise.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(orvex_programs orvex orvex-cli)
# Only built with the Linux desktop backend.
if(TARGET inputaim)
  list(APPEND orvex_programs inputaim)
endif()
install(TARGETS ${orvex_programs} RUNTIME DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/i18n/resources/locales/ DESTINATION share/orvex/locales
        FILES_MATCHING PATTERN "*.json")

install(FILES ${ORVEX_PACKAGING_DIR}/${ORVEX_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${ORVEX_PACKAGING_DIR}/${ORVEX_APP_ID}.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${ORVEX_PACKAGING_DIR}/${ORVEX_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# The licence in the machine-readable copyright format, and the changelog compressed the
# way Debian expects (no timestamp, best compression), both made at configure time so an
# install needs nothing built beyond the programs.
set(orvex_doc_dir ${CMAKE_BINARY_DIR}/packaging/doc)
file(MAKE_DIRECTORY ${orvex_doc_dir})
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/LICENSE ${ORVEX_PACKAGING_DIR}/changelog)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence_text)
string(REGEX MATCH "Copyright \\(c\\) [^\n]*" licence_holder "${licence_text}")
string(REGEX REPLACE "^[^\n]*\n\n[^\n]*\n\n" "" licence_body "${licence_text}")
string(STRIP "${licence_body}" licence_body)
# Continuation lines start with a space; an empty line is written as " .".
string(REPLACE "\n\n" "\n.\n" licence_body "${licence_body}")
string(REPLACE "\n" "\n " licence_body "${licence_body}")
string(REPLACE "Copyright (c) " "" licence_holder "${licence_holder}")
file(WRITE ${orvex_doc_dir}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: Orvex\n"
     "Source: https://orvex.app/\n\n"
     "Files: *\n"
     "Copyright: ${licence_holder}\n"
     "License: Expat\n"
     " ${licence_body}\n")
execute_process(COMMAND gzip -n -9 -c ${ORVEX_PACKAGING_DIR}/changelog
                OUTPUT_FILE ${orvex_doc_dir}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${orvex_doc_dir}/copyright ${orvex_doc_dir}/changelog.gz
        DESTINATION share/doc/orvex)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvex)
set(CPACK_PACKAGE_VENDOR "The Orvex developers")
set(CPACK_PACKAGE_CONTACT "The Orvex developers <developers@orvex.app>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tray launcher that sends your selection to AI chats")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://orvex.app/)
# The lines after the summary; no semicolons, which CMake would read as list separators.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Orvex lives in the tray and runs presets. A preset has a label, an optional
global shortcut and one action: send the selected text, or a screen capture,
with a fixed prompt to AI chat destinations, bring an application to the
front, open a file, or create a new file. orvex-cli drives it from the shell,
and inputaim finds an application's message input through accessibility.")
# The libraries come from what the programs link, plus Qt's SVG plugins, which it loads
# for the icons. The programs Orvex starts are not linked, so they are named: a capture
# tool, the browser it drives for web destinations, and the accessibility bus that sending
# to applications goes through.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "maim | scrot, chromium, at-spi2-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
