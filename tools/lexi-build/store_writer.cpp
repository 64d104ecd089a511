#include "tools/lexi-build/store_writer.h"

#include <sqlite3.h>

#include <charconv>

#include "core/schema.h"
#include "core/sqlite_handles.h"
#include "tools/lexi-build/gram_writer.h"
#include "tools/lexi-build/process.h"

namespace moshitong::builder {

namespace {

// Removes the temporary file unless the build got as far as renaming it into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) { remove(); }
    ~TemporaryFile() {
        if (!kept_) {
            remove();
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    void keep() noexcept { kept_ = true; }

private:
    void remove() const noexcept {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    std::filesystem::path path_;
    bool kept_ = false;
};

std::string temporaryPrefixFor(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".tmp-";
}

bool namedProcessIsGone(std::string_view id) {
    std::uint32_t pid = 0;
    const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), pid);
    return error == std::errc{} && end == id.data() + id.size() && processIsGone(pid);
}

// Leftovers of builds of the same target that were killed; a build still running keeps its file.
void removeStaleTemporaryFiles(const std::filesystem::path& target) {
    const std::string prefix = temporaryPrefixFor(target);
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::error_code error;
    std::vector<std::filesystem::path> stale;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(prefix) &&
            namedProcessIsGone(std::string_view(name).substr(prefix.size()))) {
            stale.push_back(it->path());
        }
    }
    for (const std::filesystem::path& file : stale) {
        std::filesystem::remove(file, error);
    }
}

void insertRows(sqlite3* db, Table table, const std::vector<Row>& rows) {
    const sqlite::StatementHandle statement = sqlite::prepare(
        db, "INSERT INTO " + tableNameUtf8(table) + " (" + rowColumnsSql() + ") VALUES (?1, ?2)");
    for (const Row& row : rows) {
        sqlite::bindText(statement.get(), 1, std::string_view(row.word));
        sqlite::bindText(statement.get(), 2, std::string_view(row.explanation));
        sqlite::step(statement.get());
        sqlite3_reset(statement.get());
    }
}

void insertSources(sqlite3* db, const std::vector<SourceInfo>& sources, const std::string& built) {
    const sqlite::StatementHandle statement = sqlite::prepare(
        db,
        "INSERT INTO metadata (source, version, licence, copyright, origin, tables, built) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    for (const SourceInfo& source : sources) {
        int index = 1;
        for (const std::string* value :
             {&source.source, &source.version, &source.licence, &source.copyright, &source.origin,
              &source.tables, &built}) {
            sqlite::bindText(statement.get(), index++, std::string_view(*value));
        }
        sqlite::step(statement.get());
        sqlite3_reset(statement.get());
    }
}

void report(const ProgressReport& progress, const std::string& message) {
    if (progress) {
        progress(message);
    }
}

void writeFile(const std::filesystem::path& file, const StoreContent& content,
               const ProgressReport& progress) {
    sqlite::DatabaseHandle db = sqlite::open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // The file is new and private until the rename, so nothing needs a journal or a sync: a
    // crash leaves only a temporary file that the next build removes.
    sqlite::exec(db.get(),
                 "PRAGMA page_size = 4096; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
                 "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -131072;");
    sqlite::exec(db.get(), "BEGIN");
    sqlite::exec(db.get(), createTablesSql());
    sqlite::exec(db.get(), kMetadataSql);
    for (const auto& [table, rows] :
         {std::pair{Table::Concise, &content.concise}, std::pair{Table::English, &content.english},
          std::pair{Table::Chinese, &content.chinese}}) {
        report(progress,
               "writing " + tableNameUtf8(table) + " (" + std::to_string(rows->size()) + " rows)");
        insertRows(db.get(), table, *rows);
    }
    report(progress, "indexing the headwords");
    sqlite::exec(db.get(), createIndexesSql());
    // Substring lookups read gram indexes instead of scanning whole tables, and the column images
    // where no gram narrows the text; every store has both.
    for (const IndexedColumn& indexed : kIndexedColumns) {
        report(progress, "indexing substrings of " + std::string(indexed.gramTable));
        writeGramIndex(db.get(), indexed);
        report(progress, "imaging " + std::string(indexed.imageTable));
        writeColumnImage(db.get(), indexed);
    }
    insertSources(db.get(), content.sources, content.built);
    sqlite::exec(db.get(), "COMMIT");
    // Closing flushes the last pages; only a store that closed cleanly may be renamed into place.
    if (const int rc = sqlite3_close(db.release()); rc != SQLITE_OK) {
        sqlite::throwStoreError(nullptr, rc);
    }
}

}  // namespace

std::filesystem::path temporaryPathFor(const std::filesystem::path& target) {
    return target.parent_path() / (temporaryPrefixFor(target) + std::to_string(currentProcessId()));
}

void writeStore(const std::filesystem::path& target, const StoreContent& content,
                const ProgressReport& progress) {
    removeStaleTemporaryFiles(target);
    TemporaryFile temporary(temporaryPathFor(target));
    try {
        writeFile(temporary.path(), content, progress);
    } catch (const StoreError& error) {
        throw StoreWriteError("cannot write " + target.string() + ": " + error.description());
    }
    std::error_code error;
    std::filesystem::rename(temporary.path(), target, error);
    if (error) {
        throw StoreWriteError("cannot move the new store to " + target.string() + ": " +
                              error.message());
    }
    temporary.keep();
}

}  // namespace moshitong::builder
