#pragma once
// The whole build: read the three sources, compose the tables, write the store.

#include <ostream>
#include <string>
#include <vector>

#include "tools/lexi-build/args.h"
#include "tools/lexi-build/store_writer.h"

namespace moshitong::builder {

// The metadata rows for the sources, with the versions given on the command line.
std::vector<SourceInfo> sourceInfo(const Options& options);

// The build time to record: SOURCE_DATE_EPOCH when set (reproducible builds), else now; UTC in
// ISO 8601 ("2026-01-04T16:04:33Z").
std::string buildTime();

// Progress goes to `log` unless the options ask for quiet. Throws InputError for a bad source
// and StoreWriteError when the store cannot be written; the target is then untouched.
void buildStore(const Options& options, std::ostream& log);

}  // namespace moshitong::builder
