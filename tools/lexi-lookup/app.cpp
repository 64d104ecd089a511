#include "tools/lexi-lookup/app.h"

#include <functional>

#include "core/text.h"
#include "tools/lexi-lookup/cycle.h"
#include "tools/lexi-lookup/output.h"

namespace moshitong::lexi_lookup {

namespace {

// Calls `handle` for each query, from the arguments or else from `in`, and writes each answer
// before reading the next line, so the tool can sit at the end of an interactive pipe.
void forEachQuery(const Options& options, std::istream& in, std::ostream& out,
                  const std::function<void(std::u16string_view)>& handle) {
    if (!options.queries.empty()) {
        for (const std::string& query : options.queries) {
            handle(fromUtf8(query));
        }
        return;
    }
    QueryReader reader(in);
    while (const auto query = reader.next()) {
        handle(*query);
        out.flush();
    }
}

int printDirections(const Options& options, std::istream& in, std::ostream& out) {
    bool decided = false;
    forEachQuery(options, in, out, [&](std::u16string_view query) {
        const int direction = decideDirection(query);
        decided = decided || direction != 0;
        out << formatDirection(query, direction, options.json);
    });
    return decided ? kExitFound : kExitNothing;
}

}  // namespace

int run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err) {
    if (options.help) {
        out << usageText();
        return kExitFound;
    }
    // Deciding the language needs no dictionary, so --direction works without one.
    if (options.directionOnly) {
        return printDirections(options, in, out);
    }
    const std::filesystem::path path = options.store.value_or(defaultDictionaryPath());
    Connection Conn;
    try {
        OpenDictionary(Conn, path);
    } catch (const StoreError& error) {
        // UTF-8, as everything it writes: string() would give Windows' ANSI code page.
        const std::u8string name = path.u8string();
        err << "lexi-lookup: cannot open the dictionary " << std::string(name.begin(), name.end())
            << ": " << error.what() << "\n";
        return kExitUsage;
    }
    SqliteRecordset Rs;
    const CycleOptions cycleOptions{
        options.fuzzy, options.professional ? LookupKind::Professional : LookupKind::Concise};
    QueryCycle cycle(Rs, Conn, cycleOptions);
    bool found = false;
    forEachQuery(options, in, out, [&](std::u16string_view query) {
        const QueryResult result = cycle.run(query);
        for (const StoreReport& report : result.errors) {
            err << formatStoreReport(report);
        }
        out << (options.json ? formatJson(result) : formatPlain(result));
        found = found || result.found();
    });
    return found ? kExitFound : kExitNothing;
}

}  // namespace moshitong::lexi_lookup
