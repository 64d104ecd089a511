# The Windows zip: one folder with the two programs, the store, and the notices. Unpacked anywhere,
# moshitong.exe finds `lexi` beside itself.
#
#   cmake --build --preset windows --target package    build-windows/moshitong-<version>-windows-x64.zip

block()
set(windows_dist ${PROJECT_SOURCE_DIR}/dist/windows)

# The programs and the store go to the folder's top (the preset sets CMAKE_INSTALL_BINDIR to ".").
if(NOT CMAKE_INSTALL_BINDIR STREQUAL ".")
    message(FATAL_ERROR "The Windows zip puts the programs beside the store: configure with "
        "-DCMAKE_INSTALL_BINDIR=. (the preset windows does).")
endif()
install(FILES ${MOSHITONG_WIN_STORE} DESTINATION .)
install(FILES ${windows_dist}/说明.txt ${windows_dist}/NOTICE-windows.txt DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/NOTICE DESTINATION . RENAME NOTICE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION LICENSES RENAME Moshitong-MIT.txt)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/LICENSES/ DESTINATION LICENSES)
# The licence of the Qt linked into the programs, from the build machine's own copy.
set(MOSHITONG_COMMON_LICENSES /usr/share/common-licenses CACHE PATH
    "Folder with the GPL-3 and LGPL-3 texts (Debian: base-files)")
install(FILES ${MOSHITONG_COMMON_LICENSES}/LGPL-3 DESTINATION LICENSES RENAME LGPL-3.txt)
install(FILES ${MOSHITONG_COMMON_LICENSES}/GPL-3 DESTINATION LICENSES RENAME GPL-3.txt)

# The per-user installer beside the zip, with the same files: staged by cmake --install, listed
# for the uninstaller, packed by makensis (Debian: nsis). Not part of `all`: packing the store
# takes a while.
#   cmake --build --preset windows --target installer    build-windows/moshitong-<version>-windows-x64.exe
find_program(MAKENSIS makensis)
# tests/windows names the same file.
set(MOSHITONG_INSTALLER ${PROJECT_BINARY_DIR}/moshitong-${PROJECT_VERSION}-windows-x64.exe)
if(MAKENSIS AND TARGET moshitong)
    set(stage ${PROJECT_BINARY_DIR}/installer-stage)
    set(uninstall_list ${PROJECT_BINARY_DIR}/installer-files.nsh)
    add_custom_target(installer
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
        COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${stage} --strip
        COMMAND ${CMAKE_COMMAND} -DSTAGE=${stage} -DOUT=${uninstall_list}
            -P ${PROJECT_SOURCE_DIR}/cmake/InstallerFiles.cmake
        COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION} -DSTAGE=${stage}
            -DFILES=${uninstall_list} -DICON=${PROJECT_SOURCE_DIR}/ui/resources/icon.ico
            -DOUTFILE=${MOSHITONG_INSTALLER} ${windows_dist}/installer.nsi
        BYPRODUCTS ${MOSHITONG_INSTALLER}
        COMMENT "Making the installer ${MOSHITONG_INSTALLER}"
        VERBATIM)
    add_dependencies(installer moshitong lexi-lookup lexi-store)
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME moshitong)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME moshitong-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
include(CPack)
endblock()
