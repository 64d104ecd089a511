# The Windows build, cross-compiled with MinGW-w64 against the static Qt that
# scripts/windows-deps.sh makes (the preset `windows` wires both in). Every program is linked
# statically, so that it runs from any folder with nothing beside it but the store.

set(MOSHITONG_WIN_SQLITE "" CACHE PATH
    "Folder with the SQLite amalgamation (sqlite3.c, sqlite3.h) that scripts/windows-deps.sh makes")
if(NOT EXISTS "${MOSHITONG_WIN_SQLITE}/sqlite3.c")
    message(FATAL_ERROR "No SQLite amalgamation in \"${MOSHITONG_WIN_SQLITE}\". Run "
        "`eval \"$(scripts/windows-deps.sh)\"` and configure with the preset windows.")
endif()

enable_language(C)
# The same SQLite the Linux build links, compiled in, with the options of Debian's libsqlite3 that
# change what a statement does (debian/rules of the same source package), so that a store
# answers alike on both: a view's rowid, LIKE on blobs, URIs, the limits.
add_library(sqlite3 STATIC ${MOSHITONG_WIN_SQLITE}/sqlite3.c)
target_include_directories(sqlite3 SYSTEM PUBLIC ${MOSHITONG_WIN_SQLITE})
target_compile_definitions(sqlite3 PRIVATE
    SQLITE_SECURE_DELETE SQLITE_OMIT_LOOKASIDE=1 SQLITE_ALLOW_ROWID_IN_VIEW
    SQLITE_LIKE_DOESNT_MATCH_BLOBS SQLITE_THREADSAFE=1 SQLITE_USE_URI=1
    SQLITE_MAX_SCHEMA_RETRY=25 SQLITE_MAX_VARIABLE_NUMBER=250000)
add_library(SQLite::SQLite3 ALIAS sqlite3)

# No DLL of the compiler's runtime travels with the programs.
add_link_options(-static)
# MinGW's GCC 12 at -O3 warns that std::string's own concatenation may overlap (GCC bug 105329, a
# false alarm fixed in GCC 13); no warning of ours is hidden by turning that one off.
add_compile_options(-Wno-restrict)
# Unicode entry points throughout; the ANSI ones lose what the code page cannot spell.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# The build machine's JSON library is headers only and serves the Windows build as it is; but its
# package puts all of /usr/include on the path, whose C library headers would shadow MinGW's. Only
# its own folder is copied in.
find_path(MOSHITONG_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
    NO_DEFAULT_PATH REQUIRED)
file(COPY ${MOSHITONG_JSON_INCLUDE}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/host-include)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE
    ${CMAKE_BINARY_DIR}/host-include)

# The store comes from the Linux build; the Windows programs open the very same file.
set(MOSHITONG_WIN_STORE "${PROJECT_SOURCE_DIR}/build/bin/lexi" CACHE FILEPATH
    "The store built by the Linux build, copied beside the Windows programs")
if(NOT EXISTS "${MOSHITONG_WIN_STORE}")
    message(FATAL_ERROR "No store at ${MOSHITONG_WIN_STORE}: build the Linux preset default first "
        "(./test.sh does), or set MOSHITONG_WIN_STORE.")
endif()
add_custom_command(OUTPUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/lexi
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${MOSHITONG_WIN_STORE}
        ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/lexi
    DEPENDS ${MOSHITONG_WIN_STORE}
    COMMENT "Copying the store beside the Windows programs")
add_custom_target(lexi-store ALL DEPENDS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/lexi)
