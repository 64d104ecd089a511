#pragma once
// The store's tables, shared by the dictionary builder and by tests that make small stores.
// Rows are read back in insertion (rowid) order, so the builder's insertion order is what a
// listing shows first. 单词 compares ASCII case-insensitively through its NOCASE collation.

namespace moshitong {

inline constexpr const char* kSchemaSql =
    "CREATE TABLE 简明英语单词 (单词 TEXT COLLATE NOCASE, 解释 TEXT);"
    "CREATE TABLE 英语单词 (单词 TEXT COLLATE NOCASE, 解释 TEXT);"
    "CREATE TABLE 汉语单词 (单词 TEXT COLLATE NOCASE, 解释 TEXT);";

// Created after the rows are in: building an index once is faster than keeping it up to date.
inline constexpr const char* kIndexSql =
    "CREATE INDEX 简明英语单词_单词 ON 简明英语单词 (单词);"
    "CREATE INDEX 英语单词_单词 ON 英语单词 (单词);"
    "CREATE INDEX 汉语单词_单词 ON 汉语单词 (单词);";

// Where the data came from, one row per source: a store copied on its own still carries the
// attribution and the licences its sources ask for. `built` is the build time in UTC (ISO 8601).
inline constexpr const char* kMetadataSql =
    "CREATE TABLE metadata (source TEXT, version TEXT, licence TEXT, copyright TEXT, "
    "origin TEXT, tables TEXT, built TEXT);";

}  // namespace moshitong
