// Lookups on the full store, each measured as single calls so that the median and the worst call
// can be reported; the naive path (the plain statement, counting every match first as a keyset
// cursor would) is measured beside each, so every figure also stands as a ratio.
//
// The column images are read ahead before any lookup is timed, as the window reads them in idle
// time once it is shown. What a session pays before that is measured on its own: reading them all
// ahead, step by step, and the first lookup that needs a whole image in a session that has not.
//
// Usage: lookup_bench [--store PATH] [Google Benchmark flags]

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/store.h"
#include "core/text.h"
#include "lookup/handlers.h"

namespace moshitong {
namespace {

std::filesystem::path storePath = defaultDictionaryPath();

Connection& connection(bool indexed) {
    static Connection fast = [] {
        Connection Conn;
        OpenDictionary(Conn, storePath);
        return Conn;
    }();
    static Connection plain = [] {
        Connection Conn;
        OpenDictionary(Conn, storePath);
        Conn.setSubstringIndexEnabled(false);
        return Conn;
    }();
    return indexed ? fast : plain;
}

struct Case {
    const char* kind;
    const char* patternClass;
    Statement statement;
};

Statement make(Table table, Column column, Match match, const char* text) {
    return Statement{table, column, match, fromUtf8(text)};
}

// Texts no gram narrows: `%` and `_` between letters found in most values.
constexpr const char* kCommonWildcards = "wildcards between common letters";

std::vector<Case> cases() {
    using enum Table;
    using enum Column;
    using enum Match;
    return {
        {"concise exact", "common", make(Concise, Word, Exact, "apple")},
        {"concise exact", "absent", make(Concise, Word, Exact, "qzxv")},
        {"concise 单词 substring", "1 common", make(Concise, Word, Substring, "e")},
        {"concise 单词 substring", "2 rare", make(Concise, Word, Substring, "zq")},
        {"concise 单词 substring", "3+ common", make(Concise, Word, Substring, "app")},
        {"concise 单词 substring", "3+ absent", make(Concise, Word, Substring, "xylophonez")},
        {"concise 单词 substring", "wildcard", make(Concise, Word, Substring, "a_b")},
        {"concise 单词 substring", kCommonWildcards, make(Concise, Word, Substring, "s_s_s")},
        {"concise 解释 substring", "1 common", make(Concise, Explanation, Substring, "的")},
        {"concise 解释 substring", "2 rare", make(Concise, Explanation, Substring, "苹果")},
        {"concise 解释 substring", "2 absent", make(Concise, Explanation, Substring, "龘龘")},
        {"concise 解释 substring", "3+ absent", make(Concise, Explanation, Substring, "量子力学")},
        {"concise 解释 substring", "wildcard", make(Concise, Explanation, Substring, "苹%树")},
        {"concise 解释 substring", kCommonWildcards,
         make(Concise, Explanation, Substring, "的_的%是")},
        {"english exact", "common", make(English, Word, Exact, "Apple")},
        {"english exact", "absent", make(English, Word, Exact, "qzxv")},
        {"english substring", "1 common", make(English, Word, Substring, "e")},
        {"english substring", "1 rare", make(English, Word, Substring, "中")},
        {"english substring", "2 common", make(English, Word, Substring, "th")},
        {"english substring", "2 rare", make(English, Word, Substring, "zq")},
        {"english substring", "2 absent", make(English, Word, Substring, "qx")},
        {"english substring", "3+ common", make(English, Word, Substring, "tion")},
        {"english substring", "3+ rare", make(English, Word, Substring, "xylophone")},
        {"english substring", "3+ absent", make(English, Word, Substring, "zzzzzzzzq")},
        {"english substring", "wildcard common", make(English, Word, Substring, "app%e")},
        {"english substring", "wildcard rare", make(English, Word, Substring, "q_z")},
        {"english substring", "wildcard absent", make(English, Word, Substring, "ab%cd%ef")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "s_s_s_s")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "ing%ing%ing")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "e_e_e_e")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "r%s%t%l%n")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "a%b%c%d")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "tion%tion")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "e%e%e%e%e%e%e%e")},
        {"english substring", kCommonWildcards,
         make(English, Word, Substring,
              "%a_e%i_o%u_e%s_t%r_n%e_a%t_i%o_n%s_e%r_t%e_s%a_n%d_e%o_u%l_y%y_e")},
        {"english substring", kCommonWildcards, make(English, Word, Substring, "n%i%__i_oq_")},
        {"english substring", "only wildcards",
         make(English, Word, Substring, "________________________________")},
        {"english substring", "only wildcards",
         make(English, Word, Substring, "_%_%_%_%_%_%_%_%_%_%_%_%_%_%_%_")},
        {"chinese exact", "common", make(Chinese, Word, Exact, "中国")},
        {"chinese exact", "absent", make(Chinese, Word, Exact, "龘龘")},
        {"chinese substring", "1 common", make(Chinese, Word, Substring, "中")},
        {"chinese substring", "1 rare", make(Chinese, Word, Substring, "a")},
        {"chinese substring", "2 common", make(Chinese, Word, Substring, "中国")},
        {"chinese substring", "2 absent", make(Chinese, Word, Substring, "龘龘")},
        {"chinese substring", "3+ common", make(Chinese, Word, Substring, "人民共")},
        {"chinese substring", "3+ absent", make(Chinese, Word, Substring, "苹果电脑龘")},
        {"chinese substring", "wildcard", make(Chinese, Word, Substring, "中_人")},
        {"chinese substring", kCommonWildcards, make(Chinese, Word, Substring, "子_子")},
        {"chinese substring", kCommonWildcards, make(Chinese, Word, Substring, "人%人%人")},
    };
}

void lookup(benchmark::State& state, const Statement& statement) {
    Connection& Conn = connection(true);
    SqliteRecordset Rs;
    long rows = 0;
    for (auto _ : state) {
        Rs.Open(statement, Conn);
        rows = Rs.RecordCount();
        Rs.Close();
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// The naive cursor: count every match, then read the rows of the plain statement.
void naive(benchmark::State& state, const Statement& statement) {
    sqlite3* db = connection(false).handle();
    std::string where = boundSql(statement);
    where = where.substr(where.find(" WHERE "));
    where = where.substr(0, where.find(" ORDER BY"));
    const std::string from = " FROM " + toUtf8(tableName(statement.table));
    const auto run = [&](const std::string& sql, bool readRows) {
        sqlite3_stmt* raw = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
        sqlite3_bind_text16(raw, 1, statement.text.c_str(),
                            static_cast<int>(statement.text.size() * 2), SQLITE_TRANSIENT);
        long n = 0;
        while (sqlite3_step(raw) == SQLITE_ROW && n < kRowCap) {
            n += readRows ? 1 : 0;
            if (readRows) {
                benchmark::DoNotOptimize(sqlite3_column_text16(raw, 1));
            } else {
                n = sqlite3_column_int(raw, 0);
                break;
            }
        }
        return n;
    };
    long count = 0;
    for (auto _ : state) {
        count = run("SELECT count(*)" + from + where, false);
        run("SELECT 单词, 解释" + from + where, true);
    }
    state.counters["rows"] = static_cast<double>(std::min(count, kRowCap));
}

// From the click to the box text set, for a listing of 101 entries.
void handler(benchmark::State& state, bool professional) {
    const std::u16string query = u"e";
    Connection& Conn = connection(true);
    SqliteRecordset Rs;
    LookupState lookupState;
    MemoryWindow window;
    const Session session{lookupState, window, Rs, Conn};
    for (auto _ : state) {
        state.PauseTiming();
        lookupState.Direction = 2;
        window.setText1Text(query);
        window.selectOption2();
        state.ResumeTiming();
        if (professional) {
            Command2_Click(session);
        } else {
            Command3_Click(session);
        }
    }
    state.counters["chars"] = static_cast<double>(window.text.size());
}

// A session that has read nothing ahead: its first lookup through the whole English image reads
// the image from the store.
void coldLookup(benchmark::State& state) {
    const Statement statement = make(Table::English, Column::Word, Match::Substring, "s_s_s_s");
    for (auto _ : state) {
        state.PauseTiming();
        Connection Conn;
        OpenDictionary(Conn, storePath);
        SqliteRecordset Rs;
        state.ResumeTiming();
        Rs.Open(statement, Conn);
        Rs.Close();
    }
}

// Reading every image ahead in a new session, step after step as the window's idle time does it;
// the longest step is how long a key may wait for one.
void readAhead(benchmark::State& state) {
    double longest = 0;
    long steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Connection Conn;
        OpenDictionary(Conn, storePath);
        state.ResumeTiming();
        steps = 0;
        for (bool more = true; more; ++steps) {
            const auto start = std::chrono::steady_clock::now();
            more = Conn.readAhead();
            longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                            std::chrono::steady_clock::now() - start)
                                            .count());
        }
    }
    state.counters["steps"] = static_cast<double>(steps);
    state.counters["longest step ms"] = longest;
}

double maximum(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

void registerAll(int repetitions) {
    const auto single = [&](benchmark::internal::Benchmark* b) {
        b->Iterations(1)
            ->Repetitions(repetitions)
            ->ComputeStatistics("max", maximum)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMillisecond);
    };
    for (const Case& c : cases()) {
        const std::string name =
            std::string(c.kind) + " / " + c.patternClass + " / " + toUtf8(c.statement.text);
        single(benchmark::RegisterBenchmark(("fast: " + name).c_str(), lookup, c.statement));
        single(benchmark::RegisterBenchmark(("naive: " + name).c_str(), naive, c.statement));
    }
    single(benchmark::RegisterBenchmark("handler: concise 101 entries", handler, false));
    single(benchmark::RegisterBenchmark("handler: professional 101 entries", handler, true));
    single(benchmark::RegisterBenchmark("session: first lookup of s_s_s_s, nothing read ahead",
                                        coldLookup));
    single(benchmark::RegisterBenchmark("session: reading every image ahead", readAhead));
}

}  // namespace
}  // namespace moshitong

int main(int argc, char** argv) {
    int repetitions = 30;
    std::vector<char*> rest{argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--store") == 0 && i + 1 < argc) {
            moshitong::storePath = argv[++i];
        } else if (std::strcmp(argv[i], "--repetitions") == 0 && i + 1 < argc) {
            repetitions = std::stoi(argv[++i]);
        } else {
            rest.push_back(argv[i]);
        }
    }
    try {
        // Every lookup below is timed as the window makes it once the images are read ahead.
        while (moshitong::connection(true).readAhead()) {
        }
    } catch (const moshitong::StoreError& error) {
        std::cerr << "lookup_bench: cannot open " << moshitong::storePath << ": " << error.what()
                  << '\n';
        return 2;
    }
    moshitong::registerAll(repetitions);
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
