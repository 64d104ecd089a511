// Arbitrary bytes as damage done to a small store, the way a failing disk or a bad copy does it:
// bytes flipped in the pages of the gram lists, of the column images or anywhere in the file
// (SQLite's header and its b-tree pages included), a run of bytes overwritten, a page lost to
// zeros, the file cut short. Then every kind of lookup runs on the damaged copy
// through the real recordset: exact and substring searches of every table, the gram lists, the
// images and the plain statement, with the images read ahead or read as the searches reach them.
//
// Each lookup must give the rows it gives on the sound store, or the rows the plain statement
// gives on the damaged one (the damage may have changed a value itself) less those whose value
// the damage made match, or throw StoreError. A
// crash, another exception or any other rows is a fault; so is a hang, which libFuzzer's -timeout
// catches (fuzz/run.sh gives it a second for the whole input).

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "core/sqlite_handles.h"
#include "core/store.h"
#include "core/text.h"
#include "fuzz/fuzz_input.h"

namespace moshitong {
namespace {

// What a page of the store holds, as far as the damage is concerned.
enum class Owner { Gram, Image, Other };

std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The store built from the fixtures by the real builder, its bytes, and which pages belong to the
// gram lists and which to the images (from SQLite's own page statistics).
class SoundStore {
public:
    SoundStore() : store_("damage"), bytes_(readBytes(path())), damagedDir_(damagedFolder()) {
        mapPages();
    }
    ~SoundStore() {
        std::error_code ignored;
        std::filesystem::remove_all(damagedDir_, ignored);
    }
    SoundStore(const SoundStore&) = delete;
    SoundStore& operator=(const SoundStore&) = delete;

    std::filesystem::path path() const { return store_.path(); }
    std::filesystem::path damagedPath() const { return damagedDir_ / "lexi"; }
    const std::string& bytes() const { return bytes_; }
    std::size_t pageSize() const { return pageSize_; }
    std::size_t pageCount() const { return bytes_.size() / pageSize_; }
    // The numbers (from 0) of the pages `owner` holds.
    const std::vector<std::size_t>& pages(Owner owner) const {
        return owner == Owner::Gram ? gramPages_ : imagePages_;
    }

private:
    void mapPages() {
        const sqlite::DatabaseHandle db = sqlite::open(path(), SQLITE_OPEN_READONLY);
        const auto size = sqlite::prepare(db.get(), "PRAGMA page_size");
        sqlite::step(size.get());
        pageSize_ = static_cast<std::size_t>(sqlite3_column_int64(size.get(), 0));
        const auto owners = sqlite::prepare(db.get(), "SELECT name, pageno FROM dbstat");
        while (sqlite::step(owners.get())) {
            const std::string name(
                reinterpret_cast<const char*>(sqlite3_column_text(owners.get(), 0)));
            const auto page = static_cast<std::size_t>(sqlite3_column_int64(owners.get(), 1)) - 1;
            if (name.starts_with("gram_")) {
                gramPages_.push_back(page);
            } else if (name.starts_with("image_")) {
                imagePages_.push_back(page);
            }
        }
        std::filesystem::create_directories(damagedPath().parent_path());
        if (gramPages_.empty() || imagePages_.empty()) {
            std::fprintf(stderr, "the fixture store has no gram lists or no images\n");
            std::abort();
        }
    }

    // Every input writes a damaged copy: in memory where the system has a folder for that, as a
    // disk busy with other writers may hold a write up for longer than a lookup may take.
    static std::filesystem::path damagedFolder() {
        std::error_code error;
        const std::filesystem::path memory = "/dev/shm";
        const auto base = std::filesystem::is_directory(memory, error)
                              ? memory
                              : std::filesystem::temp_directory_path();
        return base / ("moshitong-damaged-" + std::to_string(::getpid()));
    }

    fuzzing::FixtureStore store_;
    std::string bytes_;
    std::filesystem::path damagedDir_;
    std::size_t pageSize_ = 0;
    std::vector<std::size_t> gramPages_;
    std::vector<std::size_t> imagePages_;
};

const SoundStore& soundStore() {
    static const SoundStore store;
    return store;
}

using fuzzing::Reader;

constexpr std::size_t kMostDamages = 4;
constexpr std::size_t kLongestRun = 16;

// One damage from the input, done to `file` (the store's bytes, perhaps damaged already).
void damage(Reader& in, std::string& file) {
    const SoundStore& store = soundStore();
    const std::size_t pageSize = store.pageSize();
    const std::size_t pageCount = std::max<std::size_t>(1, file.size() / pageSize);
    const auto pageIn = [&](Owner owner) {
        if (owner == Owner::Other) {
            return in.number(2) % pageCount;
        }
        const auto& pages = store.pages(owner);
        return pages[in.number(2) % pages.size()];
    };
    const auto flipIn = [&](std::size_t page) {
        const std::size_t at = page * pageSize + in.number(2) % pageSize;
        const std::uint8_t mask = in.byte();
        if (at < file.size()) {
            file[at] = static_cast<char>(file[at] ^ (mask == 0 ? 0xFF : mask));
        }
    };
    switch (in.byte() % 6) {
        case 0:
            flipIn(pageIn(Owner::Gram));
            break;
        case 1:
            flipIn(pageIn(Owner::Image));
            break;
        case 2:
            flipIn(pageIn(Owner::Other));
            break;
        case 3: {
            // A run of bytes written over, as a sector half written.
            const std::size_t at = pageIn(Owner::Other) * pageSize + in.number(2) % pageSize;
            const std::size_t length = 1 + in.byte() % kLongestRun;
            for (std::size_t i = 0; i < length && at + i < file.size(); ++i) {
                file[at + i] = static_cast<char>(in.byte());
            }
            break;
        }
        case 4: {
            // A page lost: zeros where it was.
            const std::size_t at = pageIn(Owner::Other) * pageSize;
            if (at < file.size()) {
                std::fill_n(file.begin() + static_cast<long>(at),
                            std::min(pageSize, file.size() - at), '\0');
            }
            break;
        }
        case 5: {
            // Cut short, at a page's end or anywhere.
            const std::size_t at = in.number(3) % (file.size() + 1);
            file.resize(in.byte() % 2 == 0 ? at - at % pageSize : at);
            break;
        }
    }
}

// Every kind of lookup the handlers make, each on every text below.
struct Kind {
    Table table;
    Column column;
    Match match;
};
constexpr std::array<Kind, 7> kKinds{{
    {Table::Concise, Column::Word, Match::Exact},
    {Table::Concise, Column::Word, Match::Substring},
    {Table::Concise, Column::Explanation, Match::Substring},
    {Table::English, Column::Word, Match::Exact},
    {Table::English, Column::Word, Match::Substring},
    {Table::Chinese, Column::Word, Match::Exact},
    {Table::Chinese, Column::Word, Match::Substring},
}};

// One gram that is the whole answer, texts the lists narrow and the store's LIKE checks, a text
// that goes to the images (wildcards between common letters), one of nothing but a wildcard and
// one that nothing matches.
const std::vector<std::u16string>& stockTexts() {
    static const std::vector<std::u16string> texts = {
        u"app", u"apple", u"a%e", u"_", u"zqx", u"苹果",
    };
    return texts;
}

using Answer = std::variant<std::vector<StoreRow>, StoreError>;

bool sameRow(const StoreRow& x, const StoreRow& y) {
    return x.word == y.word && x.explanation == y.explanation;
}

bool sameRows(const std::vector<StoreRow>& a, const std::vector<StoreRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameRow);
}

// The rows through the recordset, as the handlers read them.
Answer lookUp(Connection& Conn, const Statement& statement) {
    try {
        SqliteRecordset Rs;
        Rs.Open(statement, Conn);
        std::vector<StoreRow> rows;
        const long count = Rs.RecordCount();
        for (long i = 0; i < count; ++i) {
            rows.push_back(
                {Rs.Field(columnName(Column::Word)), Rs.Field(columnName(Column::Explanation))});
            Rs.MoveNext();
        }
        Rs.Close();
        return rows;
    } catch (const StoreError& error) {
        return error;
    }
}

// A connection to the damaged copy: the one the program would have, or one that takes the plain
// statement for every lookup. Nullopt when the store is refused at start-up.
std::optional<Connection> openDamaged(bool indexed) {
    try {
        Connection Conn;
        OpenDictionary(Conn, soundStore().damagedPath());
        Conn.setSubstringIndexEnabled(indexed);
        return std::optional<Connection>(std::move(Conn));
    } catch (const StoreError&) {
        return std::nullopt;
    }
}

std::vector<Statement> statementsFor(const std::vector<std::u16string>& texts) {
    std::vector<Statement> statements;
    for (const std::u16string& text : texts) {
        for (const Kind& kind : kKinds) {
            statements.push_back({kind.table, kind.column, kind.match, text});
        }
    }
    return statements;
}

Connection& soundConnection() {
    static Connection Conn = [] {
        Connection opened;
        OpenDictionary(opened, soundStore().path());
        return opened;
    }();
    return Conn;
}

// The stock lookups' answers on the sound store, computed once.
const std::vector<std::vector<StoreRow>>& stockAnswers() {
    static const std::vector<std::vector<StoreRow>> answers = [] {
        std::vector<std::vector<StoreRow>> out;
        for (const Statement& statement : statementsFor(stockTexts())) {
            out.push_back(std::get<std::vector<StoreRow>>(lookUp(soundConnection(), statement)));
        }
        return out;
    }();
    return answers;
}

// Whether the sound store's table holds `row`: one it lacks has a value that the damage made.
bool soundHolds(const Statement& statement, const StoreRow& row) {
    if (!row.word) {
        return false;
    }
    const Answer same =
        lookUp(soundConnection(), {statement.table, Column::Word, Match::Exact, *row.word});
    const auto* rows = std::get_if<std::vector<StoreRow>>(&same);
    return rows != nullptr && std::any_of(rows->begin(), rows->end(),
                                          [&](const StoreRow& held) { return sameRow(held, row); });
}

// Whether `found` is the plain statement's rows on the damaged store, in its order, but for rows
// that the damage made match: the gram lists and the images were written from the sound values,
// so only a read of every row finds a value that the damage changed into a match. Each row left
// out lets one row past the plain statement's cap in at the end, a row of the sound store.
bool plainLessMadeRows(const Statement& statement, const std::vector<StoreRow>& found,
                       const std::vector<StoreRow>& plain) {
    std::size_t next = 0;
    std::size_t leftOut = 0;
    for (const StoreRow& row : plain) {
        if (next < found.size() && sameRow(found[next], row)) {
            ++next;
        } else if (soundHolds(statement, row)) {
            return false;
        } else {
            ++leftOut;
        }
    }
    const std::size_t past = found.size() - next;
    return past == 0 ||
           (plain.size() == static_cast<std::size_t>(kRowCap) && past <= leftOut &&
            std::all_of(found.begin() + static_cast<long>(next), found.end(),
                        [&](const StoreRow& row) { return soundHolds(statement, row); }));
}

std::string describe(const Answer& answer) {
    if (const auto* rows = std::get_if<std::vector<StoreRow>>(&answer)) {
        return std::to_string(rows->size()) + " rows";
    }
    return "StoreError " + std::to_string(std::get<StoreError>(answer).number());
}

[[noreturn]] void wrongRows(const Statement& statement, const std::vector<StoreRow>& sound,
                            const Answer& found, const Answer& plain) {
    std::fprintf(stderr,
                 "a lookup on the damaged store gave other rows: %s\n"
                 "  sound store: %zu rows; damaged: %s; the plain statement on it: %s\n",
                 toUtf8(statement.literal()).c_str(), sound.size(), describe(found).c_str(),
                 describe(plain).c_str());
    std::abort();
}

void check(Connection& damaged, const Statement& statement, const std::vector<StoreRow>& sound) {
    const Answer answer = lookUp(damaged, statement);
    const auto* rows = std::get_if<std::vector<StoreRow>>(&answer);
    if (rows == nullptr || sameRows(*rows, sound)) {
        return;
    }
    std::optional<Connection> plain = openDamaged(false);
    const Answer expected =
        plain ? lookUp(*plain, statement) : Answer(StoreError(0, "refused at start-up"));
    const auto* plainRows = std::get_if<std::vector<StoreRow>>(&expected);
    if (plainRows == nullptr || !plainLessMadeRows(statement, *rows, *plainRows)) {
        wrongRows(statement, sound, answer, expected);
    }
}

void readAhead(Connection& Conn) {
    try {
        while (Conn.readAhead()) {
        }
    } catch (const StoreError&) {
        // A damaged chunk is reported when read ahead; the searches that reach it report it again.
    }
}

void run(Reader& in) {
    const std::uint8_t flags = in.byte();
    std::string file = soundStore().bytes();
    for (std::size_t i = 0; i < kMostDamages && !in.done() && in.byte() % 2 == 1; ++i) {
        damage(in, file);
    }
    writeBytes(soundStore().damagedPath(), file);
    // A text of the input's own, after the damage, looked up beside the stock ones.
    const std::u16string own = fromUtf8(in.bytes());
    std::optional<Connection> damaged = openDamaged(true);
    if (!damaged) {
        return;  // refused at start-up with a StoreError: what a damaged store may do
    }
    if (flags % 2 == 1) {
        readAhead(*damaged);
    }
    // Half the stock texts an input, as the flags choose: either half has a text for the lists
    // and one for the image, and every kind of lookup runs on each. All of them would keep an
    // input near the timeout on a busy machine.
    const std::vector<Statement> stock = statementsFor(stockTexts());
    const std::size_t half = (flags >> 1) % 2;
    for (std::size_t i = 0; i < stock.size(); ++i) {
        if ((i / kKinds.size()) % 2 == half) {
            check(*damaged, stock[i], stockAnswers()[i]);
        }
    }
    if (!own.empty()) {
        for (const Statement& statement : statementsFor({own})) {
            check(*damaged, statement,
                  std::get<std::vector<StoreRow>>(lookUp(soundConnection(), statement)));
        }
    }
}

}  // namespace
}  // namespace moshitong

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    moshitong::stockAnswers();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    moshitong::Reader in(data, size);
    moshitong::run(in);
    return 0;
}
