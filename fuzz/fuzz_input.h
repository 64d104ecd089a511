#pragma once
// What the fuzz targets that run over a store share: the store built from the fixtures, and the
// reading of an input's bytes.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <string>

#include "tools/lexi-build/build.h"

namespace moshitong::fuzzing {

// The store built from the fixtures by the real builder, into a folder of the target's own that
// goes with it.
class FixtureStore {
public:
    explicit FixtureStore(const std::string& target)
        : dir_(std::filesystem::temp_directory_path() /
               ("moshitong-" + target + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir_);
        const std::filesystem::path fixtures = MOSHITONG_FIXTURES_DIR;
        builder::Options options;
        options.ecdict = fixtures / "ecdict.csv";
        options.cedict = fixtures / "cedict.js";
        options.jieba = fixtures / "jieba.txt";
        options.out = path();
        options.quiet = true;
        builder::buildStore(options, std::cerr);
    }
    ~FixtureStore() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    FixtureStore(const FixtureStore&) = delete;
    FixtureStore& operator=(const FixtureStore&) = delete;
    std::filesystem::path path() const { return dir_ / "lexi"; }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

// The bytes of one input, read front to back; reads past the end give zeros.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // A number of `bytes` bytes, the lowest first.
    std::size_t number(int bytes) {
        std::size_t n = 0;
        for (int i = 0; i < bytes; ++i) {
            n |= std::size_t{byte()} << (8 * i);
        }
        return n;
    }
    char16_t unit() { return static_cast<char16_t>(number(2)); }
    std::u16string units(std::size_t n) {
        std::u16string out;
        for (std::size_t i = 0; i < n && !done(); ++i) {
            out += unit();
        }
        return out;
    }
    // At most `n` bytes; all that is left when n is not given.
    std::string bytes(std::size_t n = SIZE_MAX) {
        const std::size_t taken = std::min(n, size_ - std::min(at_, size_));
        std::string out(reinterpret_cast<const char*>(data_) + std::min(at_, size_), taken);
        at_ += taken;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

}  // namespace moshitong::fuzzing
