#pragma once
// The image of one searched column (core/image_format.h), scanned (core/slot_scan.h) for the texts
// that no gram narrows: wildcards between common letters, or nothing but wildcards. It finds
// exactly the values the plain LIKE statement finds, in rowid order, and stops at the listing's
// cap.
//
// Nothing is read when the image is opened. A chunk is read into memory the first time a search
// reaches it, or before, by readAhead, and then kept: a search that stops early reads little, and
// one that goes through every value reads the whole image once. The window reads ahead in idle
// time after it is shown, so that the first such search finds the image in memory.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/schema.h"
#include "core/slot_scan.h"
#include "core/sqlite_handles.h"

struct sqlite3;

namespace moshitong {

class ColumnImage {
public:
    // nullptr when the store has no image of this column, or one that lacks rows of the table.
    // Throws StoreError for an image whose chunks do not fit together.
    static std::unique_ptr<ColumnImage> open(sqlite3* db, const IndexedColumn& indexed);
    ~ColumnImage();
    ColumnImage(const ColumnImage&) = delete;
    ColumnImage& operator=(const ColumnImage&) = delete;

    // Asked about each value found through a slot that several characters share: whether the
    // store's LIKE agrees that it matches.
    using Confirm = std::function<bool(std::int64_t rowid)>;

    // The rowids of the values that `LIKE '%text%'` matches, ascending, at most kRowCap; nullopt
    // for a text of nothing but `%`, which every value but Null matches, so that the plain
    // statement answers at once. Throws StoreError for a damaged chunk.
    std::optional<std::vector<std::int64_t>> find(std::u16string_view text, const Confirm& confirm);

    // Reads one more chunk into memory, a fraction of a millisecond of work; false when all of
    // them were in already.
    bool readAhead();

private:
    struct Chunk;
    ColumnImage(sqlite3* db, std::string table, int width, std::vector<Chunk> chunks);

    template <typename Slot>
    const Slot* slotsOf(std::size_t number, sqlite::BlobHandle& blob);
    template <typename Slot>
    void load(std::size_t number, sqlite::BlobHandle& blob);
    template <typename Slot>
    void scan(const SlotPieces& pieces, const Confirm* confirm, std::vector<std::int64_t>& rowids);

    sqlite3* db_;
    std::string table_;
    int width_;
    std::vector<Chunk> chunks_;
    std::size_t nextToRead_ = 0;
    // Gives a text back in the store's own UTF-8.
    sqlite::StatementHandle asStored_;
};

}  // namespace moshitong
