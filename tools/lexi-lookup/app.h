#pragma once
// The whole of lexi-lookup behind its parsed command line, with the streams passed in so tests
// can run it without a process.

#include <istream>
#include <ostream>

#include "tools/lexi-lookup/options.h"

namespace moshitong::lexi_lookup {

// Returns the exit status (kExitFound, kExitNothing or kExitUsage).
int run(const Options& options, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace moshitong::lexi_lookup
