# The Windows build, cross-compiled with MinGW-w64 against the static Qt that
# scripts/windows-deps.sh makes (the preset `windows` wires both in). Every program is linked
# statically, so that it runs from any folder with nothing beside it but the store.

set(MOSHITONG_WIN_SQLITE "" CACHE PATH
    "Folder with the SQLite amalgamation (sqlite3.c, sqlite3.h) that scripts/windows-deps.sh makes")
if(NOT EXISTS "${MOSHITONG_WIN_SQLITE}/sqlite3.c")
    message(FATAL_ERROR "No SQLite amalgamation in \"${MOSHITONG_WIN_SQLITE}\". Run "
        "`eval \"$(scripts/windows-deps.sh)\"` and configure with the preset windows.")
endif()

# The same SQLite the Linux build links, compiled in; the program has one thread.
add_library(sqlite3 STATIC ${MOSHITONG_WIN_SQLITE}/sqlite3.c)
target_include_directories(sqlite3 SYSTEM PUBLIC ${MOSHITONG_WIN_SQLITE})
target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION
    SQLITE_DQS=0 SQLITE_DEFAULT_MEMSTATUS=0)
add_library(SQLite::SQLite3 ALIAS sqlite3)

# No DLL of the compiler's runtime travels with the programs.
add_link_options(-static)
# Unicode entry points throughout; the ANSI ones lose what the code page cannot spell.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

# Header-only libraries of the build machine serve the Windows build as they are.
find_package(nlohmann_json 3 REQUIRED NO_CMAKE_FIND_ROOT_PATH)

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
