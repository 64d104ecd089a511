#include "core/substring_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <unordered_map>

#include "core/sqlite_handles.h"
#include "core/text.h"

namespace moshitong {

namespace {

using sqlite::columnText;
using sqlite::StatementHandle;
using sqlite::throwStoreError;

StatementHandle prepare(sqlite3* db, const std::string& sql) {
    // Every statement here is kept for the connection's lifetime.
    return sqlite::prepare(db, sql, SQLITE_PREPARE_PERSISTENT);
}

void exec(sqlite3* db, const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        throwStoreError(db);
    }
}

// Grams of up to three code points, packed into one integer: 21 bits a code point, shifted by
// one so that a shorter gram never equals a longer one.
using PackedGram = std::uint64_t;

PackedGram pack(std::u32string_view gram) {
    PackedGram packed = 0;
    for (const char32_t cp : gram) {
        packed = (packed << 21) | (static_cast<PackedGram>(cp) + 1);
    }
    return packed;
}

std::u32string unpack(PackedGram packed) {
    std::u32string gram;
    for (; packed != 0; packed >>= 21) {
        gram.insert(gram.begin(), static_cast<char32_t>((packed & 0x1FFFFF) - 1));
    }
    return gram;
}

void appendVarint(std::string& out, std::uint32_t value) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

void decodeChunk(const unsigned char* data, int size, std::vector<std::uint32_t>& out) {
    out.clear();
    std::uint32_t previous = 0;
    std::uint32_t value = 0;
    int shift = 0;
    for (int i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(data[i] & 0x7F) << shift;
        if ((data[i] & 0x80) != 0) {
            shift += 7;
            continue;
        }
        previous += value;
        out.push_back(previous);
        value = 0;
        shift = 0;
    }
}

std::string columnSql(Column column) {
    return toUtf8(columnName(column));
}
std::string tableSql(Table table) {
    return toUtf8(tableName(table));
}

bool isWildcard(char32_t cp) {
    return cp == U'%' || cp == U'_';
}

// The runs of literal characters between the wildcards.
std::vector<std::u32string> literalRuns(const std::u32string& folded) {
    std::vector<std::u32string> runs;
    std::u32string run;
    for (const char32_t cp : folded) {
        if (isWildcard(cp)) {
            if (!run.empty()) {
                runs.push_back(std::move(run));
                run.clear();
            }
        } else {
            run += cp;
        }
    }
    if (!run.empty()) {
        runs.push_back(std::move(run));
    }
    return runs;
}

// Every gram a matching value must contain. A run of up to three characters is one gram; a longer
// run is covered by its trigrams.
std::vector<PackedGram> requiredGrams(const std::vector<std::u32string>& runs) {
    std::vector<PackedGram> grams;
    for (const std::u32string& run : runs) {
        if (run.size() <= kMaxGram) {
            grams.push_back(pack(run));
            continue;
        }
        for (std::size_t i = 0; i + kMaxGram <= run.size(); ++i) {
            grams.push_back(pack(std::u32string_view(run).substr(i, kMaxGram)));
        }
    }
    std::sort(grams.begin(), grams.end());
    grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
    return grams;
}

// Resets statements when a search ends, however it ends, so no read lock outlives the lookup.
class ResetOnExit {
public:
    ResetOnExit() = default;
    explicit ResetOnExit(sqlite3_stmt* statement) { add(statement); }
    ~ResetOnExit() {
        for (sqlite3_stmt* statement : statements_) {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
        }
    }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;
    void add(sqlite3_stmt* statement) { statements_.push_back(statement); }

private:
    std::vector<sqlite3_stmt*> statements_;
};

void bindKey(sqlite3* db, sqlite3_stmt* statement, const std::string& key) {
    if (sqlite3_bind_blob(statement, 1, key.data(), static_cast<int>(key.size()),
                          SQLITE_TRANSIENT) != SQLITE_OK) {
        throwStoreError(db);
    }
}

// Walks one posting list chunk by chunk, in ascending rowid order.
class PostingCursor {
public:
    PostingCursor(sqlite3* db, sqlite3_stmt* statement, const std::string& key)
        : db_(db), statement_(statement) {
        sqlite3_reset(statement_);
        bindKey(db_, statement_, key);
        loadChunk();
    }

    bool done() const { return done_; }
    std::uint32_t value() const { return buffer_[position_]; }

    // Moves to the first rowid not below `target`; false when the list runs out.
    bool seek(std::uint32_t target) {
        while (!done_) {
            if (buffer_.back() < target) {
                loadChunk();
                continue;
            }
            const auto it = std::lower_bound(buffer_.begin() + static_cast<long>(position_),
                                             buffer_.end(), target);
            position_ = static_cast<std::size_t>(it - buffer_.begin());
            return true;
        }
        return false;
    }

    bool next() {
        if (++position_ < buffer_.size()) {
            return true;
        }
        loadChunk();
        return !done_;
    }

private:
    void loadChunk() {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_DONE) {
            done_ = true;
            return;
        }
        if (rc != SQLITE_ROW) {
            throwStoreError(db_);
        }
        const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(statement_, 0));
        decodeChunk(data, sqlite3_column_bytes(statement_, 0), buffer_);
        position_ = 0;
        if (buffer_.empty()) {
            throw StoreError(SQLITE_CORRUPT, "empty chunk in the substring index");
        }
    }

    sqlite3* db_;
    sqlite3_stmt* statement_;
    std::vector<std::uint32_t> buffer_;
    std::size_t position_ = 0;
    bool done_ = false;
};

// Intersection of sorted lists by leapfrogging: each list jumps to the largest current value.
// Calls `visit` for every common rowid in ascending order until it returns false.
template <typename Visit>
void intersect(std::vector<PostingCursor>& cursors, Visit&& visit) {
    if (cursors.empty() || cursors.front().done()) {
        return;
    }
    std::uint32_t candidate = cursors.front().value();
    for (;;) {
        bool agreed = true;
        for (PostingCursor& cursor : cursors) {
            if (!cursor.seek(candidate)) {
                return;
            }
            if (cursor.value() != candidate) {
                candidate = cursor.value();
                agreed = false;
            }
        }
        if (!agreed) {
            continue;
        }
        if (!visit(candidate) || !cursors.front().next()) {
            return;
        }
        candidate = cursors.front().value();
    }
}

}  // namespace

std::string gramTableName(Table table, Column column) {
    if (table == Table::Concise) {
        return column == Column::Word ? "gram_concise_word" : "gram_concise_explanation";
    }
    if (column != Column::Word) {
        return {};
    }
    return table == Table::English ? "gram_english_word" : "gram_chinese_word";
}

std::optional<std::u32string> foldForGrams(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0) {
            return std::nullopt;
        }
        if (cp >= U'A' && cp <= U'Z') {
            cp += U'a' - U'A';
        }
        out += cp;
    }
    return out;
}

std::string gramKey(std::u32string_view gram) {
    std::u16string units;
    for (char32_t cp : gram) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (cp >> 10));
            units += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            units += static_cast<char16_t>(cp);
        }
    }
    return toUtf8(units);
}

void writeGramIndex(sqlite3* db, Table table, Column column) {
    const std::string name = gramTableName(table, column);
    if (name.empty()) {
        throw StoreError(SQLITE_MISUSE, "this column is never searched by substring");
    }
    std::unordered_map<PackedGram, std::vector<std::uint32_t>> postings;
    {
        const StatementHandle rows = prepare(db, "SELECT rowid, " + columnSql(column) + " FROM " +
                                                     tableSql(table) + " ORDER BY rowid");
        std::vector<PackedGram> grams;
        int rc = 0;
        while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
            const auto rowid = static_cast<std::uint32_t>(sqlite3_column_int64(rows.get(), 0));
            const auto value = columnText(rows.get(), 1);
            if (!value) {
                continue;  // Null never matches LIKE
            }
            const auto folded = foldForGrams(*value);
            if (!folded) {
                throw StoreError(SQLITE_MISMATCH, "row " + std::to_string(rowid) + " of " +
                                                      tableSql(table) +
                                                      " holds text the index cannot represent");
            }
            grams.clear();
            for (std::size_t i = 0; i < folded->size(); ++i) {
                for (std::size_t n = 1; n <= kMaxGram && i + n <= folded->size(); ++n) {
                    grams.push_back(pack(std::u32string_view(*folded).substr(i, n)));
                }
            }
            std::sort(grams.begin(), grams.end());
            grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
            for (const PackedGram gram : grams) {
                postings[gram].push_back(rowid);
            }
        }
        if (rc != SQLITE_DONE) {
            throwStoreError(db);
        }
    }

    // A savepoint works inside the builder's transaction and alone.
    exec(db, "SAVEPOINT gram_index");
    exec(db, "DROP TABLE IF EXISTS " + name);
    exec(db, "CREATE TABLE " + name +
                 " (g BLOB NOT NULL, chunk INTEGER NOT NULL, n INTEGER NOT NULL, rows BLOB NOT "
                 "NULL, PRIMARY KEY (g, chunk)) WITHOUT ROWID");
    std::vector<std::pair<std::string, const std::vector<std::uint32_t>*>> ordered;
    ordered.reserve(postings.size());
    for (const auto& [gram, list] : postings) {
        ordered.emplace_back(gramKey(unpack(gram)), &list);
    }
    // Keys in order make the B-tree grow at its right edge only.
    std::sort(ordered.begin(), ordered.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    const StatementHandle insert =
        prepare(db, "INSERT INTO " + name + " (g, chunk, n, rows) VALUES (?1, ?2, ?3, ?4)");
    std::string blob;
    for (const auto& [key, list] : ordered) {
        for (std::size_t start = 0, chunk = 0; start < list->size(); start += kChunkRows, ++chunk) {
            blob.clear();
            std::uint32_t previous = 0;  // each chunk decodes on its own
            const std::size_t end = std::min(list->size(), start + kChunkRows);
            for (std::size_t i = start; i < end; ++i) {
                appendVarint(blob, (*list)[i] - previous);
                previous = (*list)[i];
            }
            sqlite3_reset(insert.get());
            bindKey(db, insert.get(), key);
            sqlite3_bind_int64(insert.get(), 2, static_cast<sqlite3_int64>(chunk));
            sqlite3_bind_int64(insert.get(), 3, static_cast<sqlite3_int64>(list->size()));
            sqlite3_bind_blob(insert.get(), 4, blob.data(), static_cast<int>(blob.size()),
                              SQLITE_TRANSIENT);
            if (sqlite3_step(insert.get()) != SQLITE_DONE) {
                throwStoreError(db);
            }
        }
    }
    exec(db, "RELEASE gram_index");
}

struct SubstringIndex::Prepared {
    StatementHandle count;
    std::array<StatementHandle, 3> chunks;
    StatementHandle fetch;
    // Checks a candidate without reading its explanation, which may run to several pages.
    StatementHandle verify;
    // Rows in the table: when every gram of a text is this common, a plain scan costs less than
    // checking the candidates one by one.
    sqlite3_int64 rows = 0;
};

// At most this many of a text's grams are looked up, and at most kCursors intersected: any subset
// of the required grams still yields every match, and the store's LIKE weeds out the rest.
constexpr std::size_t kCountedGrams = 48;
constexpr std::size_t kCursors = 3;

std::unique_ptr<SubstringIndex> SubstringIndex::open(sqlite3* db, Table table, Column column) {
    const std::string name = gramTableName(table, column);
    if (name.empty()) {
        return nullptr;
    }
    const StatementHandle probe =
        prepare(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1");
    sqlite3_bind_text(probe.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(probe.get()) != SQLITE_ROW) {
        return nullptr;
    }
    auto prepared = std::make_unique<Prepared>();
    prepared->count = prepare(db, "SELECT n FROM " + name + " WHERE g = ?1 AND chunk = 0");
    for (auto& chunks : prepared->chunks) {
        chunks = prepare(db, "SELECT rows FROM " + name + " WHERE g = ?1 ORDER BY chunk");
    }
    const std::string select = "SELECT 单词, 解释 FROM " + tableSql(table) + " WHERE rowid = ?1";
    prepared->fetch = prepare(db, select);
    prepared->verify = prepare(db, "SELECT 1 FROM " + tableSql(table) + " WHERE rowid = ?1 AND " +
                                       columnSql(column) + " LIKE '%' || ?2 || '%'");
    const StatementHandle size = prepare(db, "SELECT max(rowid) FROM " + tableSql(table));
    if (sqlite3_step(size.get()) == SQLITE_ROW) {
        prepared->rows = sqlite3_column_int64(size.get(), 0);
    }
    return std::unique_ptr<SubstringIndex>(new SubstringIndex(db, std::move(prepared)));
}

SubstringIndex::SubstringIndex(sqlite3* db, std::unique_ptr<Prepared> prepared)
    : db_(db), prepared_(std::move(prepared)) {
}

SubstringIndex::~SubstringIndex() = default;

std::optional<std::vector<StoreRow>> SubstringIndex::search(std::u16string_view text) {
    const auto folded = foldForGrams(text);
    if (!folded) {
        return std::nullopt;
    }
    const auto runs = literalRuns(*folded);
    if (runs.empty()) {
        return std::nullopt;  // only wildcards: nearly every row matches, the plain scan is quick
    }
    // One run of at most three characters and no wildcard: the gram's list is the answer.
    const bool exact =
        runs.size() == 1 && runs.front().size() == folded->size() && folded->size() <= kMaxGram;

    std::vector<std::pair<sqlite3_int64, std::string>> counted;
    {
        sqlite3_stmt* count = prepared_->count.get();
        const ResetOnExit reset(count);
        for (const PackedGram gram : requiredGrams(runs)) {
            if (counted.size() == kCountedGrams) {
                break;
            }
            std::string key = gramKey(unpack(gram));
            sqlite3_reset(count);
            bindKey(db_, count, key);
            const int rc = sqlite3_step(count);
            if (rc == SQLITE_DONE) {
                return std::vector<StoreRow>{};  // a gram no value contains: nothing matches
            }
            if (rc != SQLITE_ROW) {
                throwStoreError(db_);
            }
            counted.emplace_back(sqlite3_column_int64(count, 0), std::move(key));
        }
    }
    std::sort(counted.begin(), counted.end());
    counted.resize(std::min(counted.size(), kCursors));
    // Checking a candidate costs about eight times what a scan spends on a row.
    if (!exact && counted.front().first > prepared_->rows / 8) {
        return std::nullopt;
    }

    ResetOnExit resets;
    std::vector<PostingCursor> cursors;
    for (std::size_t i = 0; i < counted.size(); ++i) {
        resets.add(prepared_->chunks[i].get());
        cursors.emplace_back(db_, prepared_->chunks[i].get(), counted[i].second);
    }

    sqlite3_stmt* fetch = prepared_->fetch.get();
    sqlite3_stmt* verify = prepared_->verify.get();
    resets.add(fetch);
    resets.add(verify);
    if (!exact) {
        const char16_t* units = text.empty() ? u"" : text.data();
        if (sqlite3_bind_text16(verify, 2, units, static_cast<int>(text.size() * sizeof(char16_t)),
                                SQLITE_TRANSIENT) != SQLITE_OK) {
            throwStoreError(db_);
        }
    }
    const auto step = [&](sqlite3_stmt* statement, std::uint32_t rowid) {
        sqlite3_reset(statement);
        sqlite3_bind_int64(statement, 1, rowid);
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            throwStoreError(db_);
        }
        return rc == SQLITE_ROW;
    };
    std::vector<StoreRow> rows;
    intersect(cursors, [&](std::uint32_t rowid) {
        if ((exact || step(verify, rowid)) && step(fetch, rowid)) {
            rows.push_back(StoreRow{columnText(fetch, 0), columnText(fetch, 1)});
        }
        return static_cast<long>(rows.size()) < kRowCap;
    });
    return rows;
}

}  // namespace moshitong
