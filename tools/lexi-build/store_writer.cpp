#include "tools/lexi-build/store_writer.h"

#include <sqlite3.h>
#include <unistd.h>

#include <memory>

#include "core/schema.h"

namespace moshitong::builder {

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

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

class Writer {
public:
    Writer(const std::filesystem::path& target, const std::filesystem::path& file)
        : target_(target) {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(file.c_str(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        db_.reset(raw);
        check(rc);
    }

    sqlite3* handle() const noexcept { return db_.get(); }

    void exec(const char* sql) { check(sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr)); }

    void insertRows(std::string_view table, const std::vector<Row>& rows) {
        const std::string sql =
            "INSERT INTO " + std::string(table) + " (单词, 解释) VALUES (?1, ?2)";
        const Statement statement = prepare(sql);
        for (const Row& row : rows) {
            bindText(statement.get(), 1, row.word);
            bindText(statement.get(), 2, row.explanation);
            step(statement.get());
        }
    }

    void insertSources(const std::vector<SourceInfo>& sources, const std::string& built) {
        const Statement statement = prepare(
            "INSERT INTO metadata (source, version, licence, copyright, origin, tables, built) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
        for (const SourceInfo& source : sources) {
            int index = 1;
            for (const std::string* value :
                 {&source.source, &source.version, &source.licence, &source.copyright,
                  &source.origin, &source.tables, &built}) {
                bindText(statement.get(), index++, *value);
            }
            step(statement.get());
        }
    }

    // Closing flushes the last pages; only a store that closed cleanly may be renamed into place.
    void close() { check(sqlite3_close(db_.release())); }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
            const char* message = db_ ? sqlite3_errmsg(db_.get()) : sqlite3_errstr(rc);
            throw StoreWriteError("cannot write " + target_.string() + ": " + message);
        }
    }

    Statement prepare(const std::string& sql) {
        sqlite3_stmt* raw = nullptr;
        const int rc =
            sqlite3_prepare_v2(db_.get(), sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
        Statement statement(raw);
        check(rc);
        return statement;
    }

    void bindText(sqlite3_stmt* statement, int index, const std::string& text) {
        check(sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                                SQLITE_STATIC));
    }

    void step(sqlite3_stmt* statement) {
        check(sqlite3_step(statement));
        check(sqlite3_reset(statement));
    }

    const std::filesystem::path& target_;
    Database db_;
};

void report(const ProgressReport& progress, const std::string& message) {
    if (progress) {
        progress(message);
    }
}

}  // namespace

std::filesystem::path temporaryPathFor(const std::filesystem::path& target) {
    return target.parent_path() /
           ("." + target.filename().string() + ".tmp-" + std::to_string(::getpid()));
}

void writeStore(const std::filesystem::path& target, const StoreContent& content,
                const std::vector<PostInsertStep>& steps, const ProgressReport& progress) {
    TemporaryFile temporary(temporaryPathFor(target));
    Writer writer(target, temporary.path());
    // The file is new and private until the rename, so nothing needs a journal or a sync: a
    // crash leaves only a temporary file that the next build removes.
    writer.exec(
        "PRAGMA page_size = 4096; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
        "PRAGMA locking_mode = EXCLUSIVE; PRAGMA cache_size = -131072;");
    writer.exec("BEGIN");
    writer.exec(kSchemaSql);
    writer.exec(kMetadataSql);
    const std::array<std::pair<std::string_view, const std::vector<Row>*>, 3> tables = {{
        {"简明英语单词", &content.concise},
        {"英语单词", &content.english},
        {"汉语单词", &content.chinese},
    }};
    for (const auto& [name, rows] : tables) {
        report(progress,
               "writing " + std::string(name) + " (" + std::to_string(rows->size()) + " rows)");
        writer.insertRows(name, *rows);
    }
    report(progress, "indexing the headwords");
    writer.exec(kIndexSql);
    for (const PostInsertStep& step : steps) {
        step(writer.handle());
    }
    writer.insertSources(content.sources, content.built);
    writer.exec("COMMIT");
    writer.close();
    std::error_code error;
    std::filesystem::rename(temporary.path(), target, error);
    if (error) {
        throw StoreWriteError("cannot move the new store to " + target.string() + ": " +
                              error.message());
    }
    temporary.keep();
}

}  // namespace moshitong::builder
