#include "core/substring_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>

#include "core/column_image.h"
#include "core/gram_format.h"
#include "core/sqlite_handles.h"

namespace moshitong {

namespace {

using sqlite::StatementHandle;

StatementHandle prepare(sqlite3* db, const std::string& sql) {
    // Every statement here is kept for the connection's lifetime.
    return sqlite::prepare(db, sql, SQLITE_PREPARE_PERSISTENT);
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
            grams.push_back(packGram(run));
            continue;
        }
        for (std::size_t i = 0; i + kMaxGram <= run.size(); ++i) {
            grams.push_back(packGram(std::u32string_view(run).substr(i, kMaxGram)));
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

// One read transaction for a whole search through the image, ended however the search ends, so
// no read lock outlives the lookup. Without it each row fetched would take and drop the store's
// lock and check for a journal, which costs more than the fetch.
class ReadTransaction {
public:
    explicit ReadTransaction(sqlite3* db) : db_(db) {
        if (sqlite3_get_autocommit(db_) != 0) {
            sqlite::exec(db_, "BEGIN");
            began_ = true;
        }
    }
    ~ReadTransaction() {
        if (began_ && sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    sqlite3* db_;
    bool began_ = false;
};

bool hasRow(sqlite3_stmt* statement, std::int64_t rowid) {
    sqlite3_reset(statement);
    sqlite::bindInt(statement, 1, rowid);
    return sqlite::step(statement);
}

// Steps `statement` to a rowid the index listed, which the table must have: a damaged page may
// hide it from a lookup by rowid, which the plain statement's scan of the same page reports.
void stepToListedRow(sqlite3_stmt* statement, std::int64_t rowid) {
    if (!hasRow(statement, rowid)) {
        throw StoreError(SQLITE_CORRUPT, "the substring index lists a row the table does not have");
    }
}

// Whether the value of a listed rowid matches the text bound to `verify`.
bool listedRowMatches(sqlite3_stmt* verify, std::int64_t rowid) {
    stepToListedRow(verify, rowid);
    return sqlite3_column_int(verify, 0) == 1;
}

StoreRow fetchListed(sqlite3_stmt* fetch, std::int64_t rowid) {
    stepToListedRow(fetch, rowid);
    return StoreRow{sqlite::columnText(fetch, 0), sqlite::columnText(fetch, 1)};
}

[[noreturn]] void throwListDamaged(const char* what) {
    throw StoreError(SQLITE_CORRUPT, std::string("the substring index is damaged: ") + what);
}

// Walks one posting list chunk by chunk, in ascending rowid order. Each chunk must be the next
// one, and the list must end with as many rowids as its length says: a chunk lost or misplaced
// in the file is reported, not read as a shorter list.
class PostingCursor {
public:
    PostingCursor(sqlite3_stmt* statement, const std::string& key, sqlite3_int64 length)
        : statement_(statement), key_(key), length_(length) {
        sqlite3_reset(statement_);
        sqlite::bindBlob(statement_, 1, key_);
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
        if (!sqlite::step(statement_)) {
            if (read_ != length_) {
                throwListDamaged("a posting list is shorter than its length");
            }
            done_ = true;
            return;
        }
        if (sqlite3_column_int64(statement_, 0) != chunk_) {
            throwListDamaged("a chunk of a posting list is missing");
        }
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_, 1));
        const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_, 1));
        decodeChunk(std::string_view(data, size), ChunkPlace{key_, chunk_, length_}, buffer_);
        if (chunk_ > 0 && buffer_.front() <= last_) {
            throwListDamaged("the chunks of a posting list overlap");
        }
        read_ += static_cast<sqlite3_int64>(buffer_.size());
        last_ = buffer_.back();
        ++chunk_;
        position_ = 0;
    }

    sqlite3_stmt* statement_;
    std::string key_;
    sqlite3_int64 length_;
    sqlite3_int64 chunk_ = 0;
    sqlite3_int64 read_ = 0;
    std::uint32_t last_ = 0;
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

struct SubstringIndex::Prepared {
    sqlite3* db = nullptr;
    StatementHandle count;
    std::array<StatementHandle, 3> chunks;
    StatementHandle fetch;
    // Checks a candidate without reading its explanation, which may run to several pages.
    StatementHandle verify;
    // Rows in the table: when every gram of a text is this common, a plain scan costs less than
    // checking the candidates one by one.
    sqlite3_int64 rows = 0;
    // Scanned instead when the grams cannot narrow a text; nullptr in a store without images.
    std::unique_ptr<ColumnImage> image;
};

// At most this many of a text's grams are looked up, and at most kCursors intersected: any subset
// of the required grams still yields every match, and the store's LIKE weeds out the rest.
constexpr std::size_t kCountedGrams = 48;
constexpr std::size_t kCursors = 3;
// With the column image at hand, the lists are worth reading only while few of their candidates
// need checking: a check through the store costs what the image's scan spends on a thousand
// values. A text whose rarest gram is in more than one value in 64 goes straight to the image;
// any other hands over once this many of its candidates have failed.
constexpr sqlite3_int64 kImageRowsPerGram = 64;
constexpr std::size_t kImageMisses = 64;

std::unique_ptr<SubstringIndex> SubstringIndex::open(sqlite3* db, const IndexedColumn& indexed) {
    const StatementHandle probe =
        prepare(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1");
    sqlite::bindText(probe.get(), 1, indexed.gramTable);
    if (!sqlite::step(probe.get())) {
        return nullptr;
    }
    const std::string name(indexed.gramTable);
    const std::string& table = tableNameUtf8(indexed.table);
    auto prepared = std::make_unique<Prepared>();
    prepared->db = db;
    prepared->count = prepare(db, "SELECT n FROM " + name + " WHERE g = ?1 AND chunk = 0");
    for (auto& chunks : prepared->chunks) {
        chunks = prepare(db, "SELECT chunk, rows FROM " + name + " WHERE g = ?1 ORDER BY chunk");
    }
    prepared->fetch =
        prepare(db, "SELECT " + rowColumnsSql() + " FROM " + table + " WHERE rowid = ?1");
    prepared->verify =
        prepare(db, "SELECT " + columnNameUtf8(indexed.column) + " LIKE '%' || ?2 || '%' FROM " +
                        table + " WHERE rowid = ?1");
    const StatementHandle size = prepare(db, "SELECT max(rowid) FROM " + table);
    if (sqlite::step(size.get())) {
        prepared->rows = sqlite3_column_int64(size.get(), 0);
    }
    prepared->image = ColumnImage::open(db, indexed);
    return std::unique_ptr<SubstringIndex>(new SubstringIndex(std::move(prepared)));
}

SubstringIndex::SubstringIndex(std::unique_ptr<Prepared> prepared)
    : prepared_(std::move(prepared)) {
}

SubstringIndex::~SubstringIndex() = default;

std::optional<std::vector<StoreRow>> SubstringIndex::search(std::u16string_view text) {
    const ColumnImage* image = prepared_->image.get();
    const auto folded = foldForGrams(text);
    if (!folded) {
        return searchImage(text);  // a NUL, which the image has a slot for, or a lone surrogate
    }
    const auto runs = literalRuns(*folded);
    if (runs.empty()) {
        // Only wildcards: nothing to look up, but a run of `_` may ask for long values.
        return searchImage(text);
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
            std::string key = gramKey(unpackGram(gram));
            sqlite3_reset(count);
            sqlite::bindBlob(count, 1, key);
            if (!sqlite::step(count)) {
                // A gram no value contains: nothing matches. Unless the gram's row was lost to a
                // damaged page, which only the image, checked chunk by chunk, can tell.
                if (image != nullptr) {
                    return searchImage(text);
                }
                return std::vector<StoreRow>{};
            }
            counted.emplace_back(sqlite3_column_int64(count, 0), std::move(key));
        }
    }
    std::sort(counted.begin(), counted.end());
    counted.resize(std::min(counted.size(), kCursors));
    // A list is read chunk by chunk up to the rarest list's last rowid: one more than kChunkRows
    // times as long as the rarest costs more chunks than the rarest has candidates to weed out.
    while (counted.size() > 1 &&
           counted.back().first > counted.front().first * static_cast<sqlite3_int64>(kChunkRows)) {
        counted.pop_back();
    }
    // Checking a candidate costs about eight times what a scan spends on a row.
    if (!exact && counted.front().first > prepared_->rows / (image ? kImageRowsPerGram : 8)) {
        return searchImage(text);
    }

    std::vector<StoreRow> rows;
    std::size_t misses = 0;
    {
        ResetOnExit resets;
        std::vector<PostingCursor> cursors;
        for (std::size_t i = 0; i < counted.size(); ++i) {
            resets.add(prepared_->chunks[i].get());
            cursors.emplace_back(prepared_->chunks[i].get(), counted[i].second, counted[i].first);
        }

        sqlite3_stmt* fetch = prepared_->fetch.get();
        sqlite3_stmt* verify = prepared_->verify.get();
        resets.add(fetch);
        resets.add(verify);
        // Even a gram that is the whole text is checked against the value: a value changed in a
        // damaged file must not be listed where the plain statement would not list it.
        sqlite::bindText(verify, 2, text);
        intersect(cursors, [&](std::uint32_t rowid) {
            if (listedRowMatches(verify, rowid)) {
                rows.push_back(fetchListed(fetch, rowid));
            } else {
                ++misses;
            }
            return static_cast<long>(rows.size()) < kRowCap && !(image && misses > kImageMisses);
        });
    }
    if (image && misses > kImageMisses) {
        return searchImage(text);
    }
    return rows;
}

std::optional<std::vector<StoreRow>> SubstringIndex::searchImage(std::u16string_view text) {
    ColumnImage* image = prepared_->image.get();
    if (image == nullptr) {
        return std::nullopt;
    }
    const ReadTransaction transaction(prepared_->db);
    sqlite3_stmt* verify = prepared_->verify.get();
    sqlite3_stmt* fetch = prepared_->fetch.get();
    const ResetOnExit reset(verify);
    bool bound = false;
    const auto confirm = [&](std::int64_t rowid) {
        if (!bound) {
            sqlite::bindText(verify, 2, text);
            bound = true;
        }
        return listedRowMatches(verify, rowid);
    };
    const auto rowids = image->find(text, confirm);
    if (!rowids) {
        return std::nullopt;
    }
    std::vector<StoreRow> rows;
    const ResetOnExit resetFetch(fetch);
    bool dropped = false;
    for (const std::int64_t rowid : *rowids) {
        // Checked against the value as the gram lists' candidates are: the image is checked
        // chunk by chunk, but a value changed in a damaged table is not in it.
        if (confirm(rowid)) {
            rows.push_back(fetchListed(fetch, rowid));
        } else {
            dropped = true;
        }
    }
    // The image found a value the table no longer holds there: the table is damaged, and its
    // damage may have moved a matching value as well, which only the plain statement's scan finds.
    if (dropped) {
        return std::nullopt;
    }
    return rows;
}

bool SubstringIndex::readAhead() {
    return prepared_->image && prepared_->image->readAhead();
}

}  // namespace moshitong
