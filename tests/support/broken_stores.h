#pragma once
// Ways to damage a store file, and the stores that start-up must refuse with the error each
// gives: shared by the tests of the store layer and of lexi-lookup.

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "core/text.h"
#include "tests/support/hostile_inputs.h"
#include "tests/support/temp_store.h"

namespace moshitong::testing {

// Overwrites bytes in place, as a disk fault or a half-finished copy would: same file, same inode.
inline void overwrite(const std::filesystem::path& file, std::size_t offset,
                      const std::string& bytes) {
    std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(offset));
    out << bytes;
}

// A sound store, to be damaged.
inline void writeGoodStore(const std::filesystem::path& file) {
    std::filesystem::copy_file(hostileStore(), file);
}

inline std::size_t pageSize(const std::filesystem::path& file) {
    return static_cast<std::size_t>(selectNumber(openDatabase(file).get(), "PRAGMA page_size"));
}

// Garbage in place of the root page of each named table. The change counter in the header moves
// on as a writer's would, so a running reader knows its cached pages are stale.
inline void corruptRootPages(const std::filesystem::path& file,
                             std::initializer_list<Table> tables) {
    const std::size_t size = pageSize(file);
    std::vector<std::size_t> roots;
    {
        const Database db = openDatabase(file);
        for (const Table table : tables) {
            roots.push_back(static_cast<std::size_t>(
                selectNumber(db.get(), "SELECT rootpage FROM sqlite_schema WHERE name = '" +
                                           toUtf8(tableName(table)) + "'")));
        }
    }
    for (const std::size_t root : roots) {
        overwrite(file, (root - 1) * size, std::string(size, '\xA5'));
    }
    overwrite(file, 24, std::string("\x7F\x7F\x7F\x7F", 4));
}

struct StartUpCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    int code;          // the primary SQLite result code
    const char* says;  // part of the store's description
};

inline void PrintTo(const StartUpCase& c, std::ostream* out) {
    *out << c.name;
}

// A folder where the store should be: Linux opens it and fails at the first read; Windows
// refuses to open a folder as a file at all.
#ifdef _WIN32
inline constexpr int kFolderCode = SQLITE_CANTOPEN;
inline constexpr const char* kFolderSays = "unable to open";
#else
inline constexpr int kFolderCode = SQLITE_IOERR;
inline constexpr const char* kFolderSays = "disk I/O error";
#endif

inline std::vector<StartUpCase> startUpCases() {
    return {
        {"Missing", [](const std::filesystem::path&) {}, SQLITE_CANTOPEN, "unable to open"},
        {"Folder", [](const std::filesystem::path& f) { std::filesystem::create_directory(f); },
         kFolderCode, kFolderSays},
        {"Empty", [](const std::filesystem::path& f) { writeFile(f, ""); }, SQLITE_ERROR,
         "no such table: 简明英语单词"},
        {"NotADatabase",
         [](const std::filesystem::path& f) {
             writeFile(f, std::string(8192, 'x') + "apple,苹果\n");
         },
         SQLITE_NOTADB, "not a database"},
        {"TableMissing",
         [](const std::filesystem::path& f) {
             writeStoreSql(f,
                           "CREATE TABLE 简明英语单词 (单词 TEXT, 解释 TEXT);"
                           "CREATE TABLE 英语单词 (单词 TEXT, 解释 TEXT);");
         },
         SQLITE_ERROR, "no such table: 汉语单词"},
        {"ColumnMissing",
         [](const std::filesystem::path& f) {
             writeStoreSql(f,
                           "CREATE TABLE 简明英语单词 (单词 TEXT, 解释 TEXT);"
                           "CREATE TABLE 英语单词 (单词 TEXT, 释义 TEXT);"
                           "CREATE TABLE 汉语单词 (单词 TEXT, 解释 TEXT);");
         },
         SQLITE_ERROR, "no such column: 解释"},
        {"Truncated",
         [](const std::filesystem::path& f) {
             writeGoodStore(f);
             std::filesystem::resize_file(f, std::filesystem::file_size(f) / 2);
         },
         SQLITE_CORRUPT, "malformed"},
        {"HeaderOnly",
         [](const std::filesystem::path& f) {
             writeGoodStore(f);
             std::filesystem::resize_file(f, 100);
         },
         SQLITE_CORRUPT, "malformed"},
        {"FirstPageCorrupted",
         [](const std::filesystem::path& f) {
             writeGoodStore(f);
             overwrite(f, 0, std::string(pageSize(f), '\xA5'));
         },
         SQLITE_NOTADB, "not a database"},
    };
}

}  // namespace moshitong::testing
