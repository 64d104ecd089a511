# Installing 墨石通 as a desktop application, and its Debian package.
#
#   cmake --install build --prefix PREFIX      the programs, the store, menu entry, icons, docs
#   (cd build && cpack)                        build/moshitong_<version>_<arch>.deb
#
# The programs find the store as ../share/moshitong/lexi from their own folder, so the installed
# tree works wherever it is put; nothing in it names the prefix.

# The install rules' helper variables stay in this block, out of the including file's way.
block()
set(MOSHITONG_APP_ID example.moshitong.Moshitong)
set(moshitong_dist ${PROJECT_SOURCE_DIR}/dist)

# The programs look for the store at a fixed place relative to themselves; an install layout that
# puts it elsewhere would install a dictionary they never open.
file(RELATIVE_PATH store_from_programs
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/moshitong)
if(NOT store_from_programs STREQUAL "../share/moshitong")
    message(FATAL_ERROR
        "The installed programs open their store at ../share/moshitong/lexi relative to "
        "themselves, but CMAKE_INSTALL_BINDIR (${CMAKE_INSTALL_BINDIR}) and "
        "CMAKE_INSTALL_DATADIR (${CMAKE_INSTALL_DATADIR}) put it at ${store_from_programs}.")
endif()
if(NOT MOSHITONG_FULL_STORE)
    message(STATUS "MOSHITONG_FULL_STORE is OFF: cmake --install and cpack install no dictionary")
endif()

# The changelog and the metainfo's releases each name the newest version; a release must add an
# entry to both.
file(STRINGS ${moshitong_dist}/changelog changelog_head LIMIT_COUNT 1)
file(READ ${moshitong_dist}/${MOSHITONG_APP_ID}.metainfo.xml metainfo_text)
string(REGEX MATCH "<release version=\"([^\"]*)\"" _ "${metainfo_text}")
set(metainfo_version "${CMAKE_MATCH_1}")
if(NOT changelog_head MATCHES "^moshitong \\(${PROJECT_VERSION}\\) "
   OR NOT metainfo_version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR
        "The project is version ${PROJECT_VERSION}, but dist/changelog begins with "
        "\"${changelog_head}\" and the newest release in dist/${MOSHITONG_APP_ID}.metainfo.xml is "
        "\"${metainfo_version}\": add the release to both.")
endif()

# ---- Documentation: notices, licences, the Debian copyright file, changelog, manual pages ----

# Debian's machine-readable copyright file, with the licence texts written into it as that format
# wants them: each line indented by one space, an empty line as " .".
function(moshitong_copyright_text file out_var)
    file(READ ${file} text)
    # Whole-text replacements: the text holds semicolons, so it cannot go through a CMake list.
    string(REGEX REPLACE "[ \t]+\n" "\n" text "${text}")
    string(REGEX REPLACE "\n+$" "" text "${text}")
    string(REPLACE "\n" "\n " text " ${text}")
    # Twice, because one pass cannot see a blank line whose newline the previous match took.
    string(REPLACE "\n \n" "\n .\n" text "${text}")
    string(REPLACE "\n \n" "\n .\n" text "${text}")
    set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# The MIT text without its heading and copyright line, which the Files paragraphs carry.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE mit_full)
string(FIND "${mit_full}" "Permission is hereby granted" mit_start)
string(SUBSTRING "${mit_full}" ${mit_start} -1 mit_body)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/packaging/mit-body.txt "${mit_body}")
moshitong_copyright_text(${CMAKE_CURRENT_BINARY_DIR}/packaging/mit-body.txt MIT_TEXT)
moshitong_copyright_text(${PROJECT_SOURCE_DIR}/LICENSES/CC-BY-SA-4.0.txt CC_BY_SA_TEXT)
configure_file(${moshitong_dist}/copyright.in ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/LICENSES/CC-BY-SA-4.0.txt
    ${moshitong_dist}/changelog ${moshitong_dist}/${MOSHITONG_APP_ID}.metainfo.xml)

# Debian keeps changelogs and manual pages gzip-compressed, without a name or time stamp inside.
find_program(MOSHITONG_GZIP gzip REQUIRED)
set(compressed "")
foreach(doc changelog man/moshitong.1 man/lexi-lookup.1)
    get_filename_component(name ${doc} NAME)
    set(plain ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name})
    add_custom_command(OUTPUT ${plain}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${moshitong_dist}/${doc} ${plain}
        COMMAND ${MOSHITONG_GZIP} -9nf ${plain}
        DEPENDS ${moshitong_dist}/${doc}
        VERBATIM)
    list(APPEND compressed ${plain}.gz)
endforeach()
add_custom_target(moshitong-docs ALL DEPENDS ${compressed})

install(FILES
        ${PROJECT_SOURCE_DIR}/NOTICE
        ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright
        ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The data package carries its own copy of the same notices, as every Debian package must, and
# the store's sources and licences are all named in them.
if(MOSHITONG_FULL_STORE)
    install(FILES
            ${PROJECT_SOURCE_DIR}/NOTICE
            ${CMAKE_CURRENT_BINARY_DIR}/packaging/copyright
            ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/moshitong-data COMPONENT data)
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/LICENSES DESTINATION ${CMAKE_INSTALL_DOCDIR}
    # A test's protocol description, not part of the programs.
    PATTERN wlr-virtual-pointer-MIT.txt EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DOCDIR}/LICENSES RENAME Moshitong-MIT.txt)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/lexi-lookup.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ---- The desktop: menu entry, AppStream metainfo, icons ----

if(MOSHITONG_UI)
    install(FILES ${moshitong_dist}/${MOSHITONG_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${moshitong_dist}/${MOSHITONG_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/moshitong.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # Every size is drawn from the window's own 32 x 32 icon by ui/resources/make-artwork.sh.
    set(icons ${PROJECT_SOURCE_DIR}/ui/resources)
    set(hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    foreach(size 16 48 64 128 256)
        install(FILES ${icons}/icons/icon-${size}.png
            DESTINATION ${hicolor}/${size}x${size}/apps RENAME ${MOSHITONG_APP_ID}.png)
    endforeach()
    install(FILES ${icons}/icon.png
        DESTINATION ${hicolor}/32x32/apps RENAME ${MOSHITONG_APP_ID}.png)
    install(FILES ${icons}/icons/icon.svg
        DESTINATION ${hicolor}/scalable/apps RENAME ${MOSHITONG_APP_ID}.svg)
endif()

endblock()

# ---- The Debian packages ----
# Two, as Debian does for large data: moshitong with the programs and the desktop files, and
# moshitong-data with the 185 MB store, the same on every architecture. The program depends on the
# data of exactly its own version, since the store's layout and the readers change together.

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
if(MOSHITONG_FULL_STORE)
    set(CPACK_COMPONENTS_ALL app data)
else()
    set(CPACK_COMPONENTS_ALL app)
endif()
set(CPACK_PACKAGE_NAME moshitong)
set(CPACK_PACKAGE_VENDOR "The Moshitong developers")
set(CPACK_PACKAGE_CONTACT "The Moshitong developers <developers@moshitong.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://moshitong.example/)

set(CPACK_DEBIAN_APP_PACKAGE_NAME moshitong)
# Lines as they appear in the package's description; CPack does not wrap them. The first is the
# summary: each package has its own, so CPack's shared one is empty and prepends nothing.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
string(CONCAT CPACK_DEBIAN_APP_DESCRIPTION
    "English-Chinese two-way dictionary\n"
    "墨石通 (Moshitong) looks English words up in Chinese and Chinese words in\n"
    "English, in one small borderless window. Type a word or phrase, press 翻 译,\n"
    "and choose exact or fuzzy matching and the concise or professional lookup.\n"
    "lexi-lookup gives the same lookups at a terminal.\n"
    "\n"
    "The dictionary itself is in the package moshitong-data.")
# The libraries come from dpkg-shlibdeps; what the window needs beyond them no linker can see.
# Its Song face: Noto Serif CJK is what it picks first; AR PL UMing is a smaller Song face.
# The CJK extension characters of the Chinese entries that no Song face has are drawn by the face
# the program carries, cut out of BabelStone Han (ui/resources/extension.ttf); the one
# mathematical letter among them (italic pi) by DejaVu Serif Italic.
# Qt's own translations give the message boxes and the box's menu the user's language.
set(CPACK_DEBIAN_APP_PACKAGE_SHLIBDEPS ON)
set(moshitong_app_depends
    "fonts-noto-cjk | fonts-arphic-uming, fonts-dejavu-extra, qt6-translations-l10n")
if(MOSHITONG_FULL_STORE)
    string(PREPEND moshitong_app_depends "moshitong-data (= ${PROJECT_VERSION}), ")
endif()
set(CPACK_DEBIAN_APP_PACKAGE_DEPENDS "${moshitong_app_depends}")

set(CPACK_DEBIAN_DATA_PACKAGE_NAME moshitong-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_PACKAGE_SHLIBDEPS OFF)
string(CONCAT CPACK_DEBIAN_DATA_DESCRIPTION
    "English-Chinese two-way dictionary (data)\n"
    "The dictionary of 墨石通 (Moshitong): about 1,030,000 entries in one\n"
    "SQLite file, built from ECDICT (English headwords with phonetics, Chinese\n"
    "translations and English definitions), CC-CEDICT (Chinese headwords with\n"
    "pinyin and English senses) and jieba's word frequencies, with the indexes\n"
    "that make its substring lookups fast.")

# xz makes the smallest package of the store, on every core there is.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_THREADS 0)
include(CPack)
