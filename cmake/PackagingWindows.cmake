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

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME moshitong)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME moshitong-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
include(CPack)
endblock()
