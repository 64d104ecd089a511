#include "tools/lexi-build/gram_writer.h"

#include <sqlite3.h>

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/gram_format.h"
#include "core/sqlite_handles.h"

namespace moshitong::builder {

namespace {

using Postings = std::unordered_map<PackedGram, std::vector<std::uint32_t>>;

// Every gram of a value, each once.
void collectGrams(const std::u32string& folded, std::vector<PackedGram>& grams) {
    grams.clear();
    for (std::size_t i = 0; i < folded.size(); ++i) {
        for (std::size_t n = 1; n <= kMaxGram && i + n <= folded.size(); ++n) {
            grams.push_back(packGram(std::u32string_view(folded).substr(i, n)));
        }
    }
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
}

Postings readPostings(sqlite3* db, const IndexedColumn& indexed) {
    const std::string& table = tableNameUtf8(indexed.table);
    const sqlite::StatementHandle rows =
        sqlite::prepare(db, "SELECT rowid, " + columnNameUtf8(indexed.column) + " FROM " + table +
                                " ORDER BY rowid");
    Postings postings;
    std::vector<PackedGram> grams;
    while (sqlite::step(rows.get())) {
        const auto rowid = static_cast<std::uint32_t>(sqlite3_column_int64(rows.get(), 0));
        const auto value = sqlite::columnText(rows.get(), 1);
        if (!value) {
            continue;  // Null never matches LIKE
        }
        const auto folded = foldForGrams(*value);
        if (!folded) {
            throw StoreError(SQLITE_MISMATCH, "row " + std::to_string(rowid) + " of " + table +
                                                  " holds text the index cannot represent");
        }
        collectGrams(*folded, grams);
        for (const PackedGram gram : grams) {
            postings[gram].push_back(rowid);
        }
    }
    return postings;
}

// Calls visit(rowid, characters) for every row in rowid order, each value's characters as the
// store's LIKE compares them; a Null value has none.
template <typename Visit>
void forEachValue(sqlite3* db, const IndexedColumn& indexed, Visit&& visit) {
    const sqlite::StatementHandle rows =
        sqlite::prepare(db, "SELECT rowid, " + columnNameUtf8(indexed.column) + " FROM " +
                                tableNameUtf8(indexed.table) + " ORDER BY rowid");
    while (sqlite::step(rows.get())) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 1));
        const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(rows.get(), 1));
        visit(sqlite3_column_int64(rows.get(), 0),
              text == nullptr ? std::u32string() : likeCharacters(std::string_view(text, bytes)));
    }
}

int chooseWidth(sqlite3* db, const IndexedColumn& indexed) {
    std::size_t all = 0;
    std::size_t other = 0;
    forEachValue(db, indexed, [&](std::int64_t, const std::u32string& characters) {
        for (const char32_t c : characters) {
            other += hasOwnSlot(c, 1) ? 0 : 1;
        }
        all += characters.size();
    });
    return other * 256 <= all ? 1 : 2;
}

}  // namespace

void writeGramIndex(sqlite3* db, const IndexedColumn& indexed) {
    const Postings postings = readPostings(db, indexed);
    std::vector<std::pair<std::string, const std::vector<std::uint32_t>*>> ordered;
    ordered.reserve(postings.size());
    for (const auto& [gram, list] : postings) {
        ordered.emplace_back(gramKey(unpackGram(gram)), &list);
    }
    // Keys in order make the B-tree grow at its right edge only.
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });

    const std::string name(indexed.gramTable);
    // A savepoint works inside the builder's transaction and alone.
    sqlite::exec(db, "SAVEPOINT gram_index");
    sqlite::exec(db, "DROP TABLE IF EXISTS " + name);
    sqlite::exec(db, createGramTableSql(name));
    const sqlite::StatementHandle insert =
        sqlite::prepare(db, "INSERT INTO " + name + " (g, chunk, n, rows) VALUES (?1, ?2, ?3, ?4)");
    for (const auto& [key, list] : ordered) {
        const std::span<const std::uint32_t> rowids(*list);
        for (std::size_t start = 0, chunk = 0; start < rowids.size();
             start += kChunkRows, ++chunk) {
            sqlite3_reset(insert.get());
            sqlite::bindBlob(insert.get(), 1, key);
            sqlite::bindInt(insert.get(), 2, static_cast<long long>(chunk));
            sqlite::bindInt(insert.get(), 3, static_cast<long long>(rowids.size()));
            const ChunkPlace place{key, static_cast<std::int64_t>(chunk),
                                   static_cast<std::int64_t>(rowids.size())};
            sqlite::bindBlob(
                insert.get(), 4,
                encodeChunk(place,
                            rowids.subspan(start, std::min(kChunkRows, rowids.size() - start))));
            sqlite::step(insert.get());
        }
    }
    sqlite::exec(db, "RELEASE gram_index");
}

void writeColumnImage(sqlite3* db, const IndexedColumn& indexed, const ImageLayout& layout) {
    const int width = layout.width != 0 ? layout.width : chooseWidth(db, indexed);
    const std::string name(indexed.imageTable);
    sqlite::exec(db, "SAVEPOINT column_image");
    sqlite::exec(db, "DROP TABLE IF EXISTS " + name);
    sqlite::exec(db, createImageTableSql(name));
    const sqlite::StatementHandle insert = sqlite::prepare(
        db, "INSERT INTO " + name +
                " (chunk, first, rows, width, sum, slots) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    std::string slots;
    std::int64_t chunk = 0;
    std::int64_t first = 0;
    std::int64_t rows = 0;
    const auto flush = [&] {
        sqlite3_reset(insert.get());
        sqlite::bindInt(insert.get(), 1, chunk);
        sqlite::bindInt(insert.get(), 2, first);
        sqlite::bindInt(insert.get(), 3, rows);
        sqlite::bindInt(insert.get(), 4, width);
        sqlite::bindInt(insert.get(), 5, imageChecksum(first, rows, width, slots));
        sqlite::bindBlob(insert.get(), 6, slots);
        sqlite::step(insert.get());
        ++chunk;
        slots.clear();
        rows = 0;
    };
    const auto append = [&](std::uint16_t slot) {
        slots += static_cast<char>(slot & 0xFF);
        if (width == 2) {
            slots += static_cast<char>(slot >> 8);
        }
    };
    forEachValue(db, indexed, [&](std::int64_t rowid, const std::u32string& characters) {
        // A chunk holds consecutive rowids only, so a gap in them starts a new one.
        const std::size_t used = slots.size() / static_cast<std::size_t>(width);
        if (rows > 0 &&
            (rowid != first + rows || used + characters.size() + 1 > layout.chunkSlots)) {
            flush();
        }
        if (rows == 0) {
            first = rowid;
        }
        for (const char32_t c : characters) {
            append(imageSlot(c, width));
        }
        append(0);
        ++rows;
    });
    if (rows > 0) {
        flush();
    }
    sqlite::exec(db, "RELEASE column_image");
}

}  // namespace moshitong::builder
