#pragma once
// Writes the store: the three tables in listing order, their indexes, the gram indexes and images
// of the searchable columns and the metadata table. The store is written to a temporary file
// beside the target and renamed over it only once it is complete, so a failed build never leaves
// a half-written store where the program looks for one, nor a stray temporary file.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/lexi-build/compose.h"

namespace moshitong::builder {

struct SourceInfo {
    std::string source;
    std::string version;
    std::string licence;
    std::string copyright;
    std::string origin;
    std::string tables;  // which tables it went into
};

struct StoreContent {
    std::vector<Row> concise;  // 简明英语单词
    std::vector<Row> english;  // 英语单词
    std::vector<Row> chinese;  // 汉语单词
    std::vector<SourceInfo> sources;
    std::string built;  // UTC, ISO 8601
};

using ProgressReport = std::function<void(std::string_view message)>;

class StoreWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The temporary file a build of `target` writes to: ".<name>.tmp-<process id>". A build killed
// before it could remove its own leaves one; the next build of the same target removes those
// whose process is gone.
std::filesystem::path temporaryPathFor(const std::filesystem::path& target);

// Throws StoreWriteError; the target is then left as it was before.
void writeStore(const std::filesystem::path& target, const StoreContent& content,
                const ProgressReport& progress = {});

}  // namespace moshitong::builder
