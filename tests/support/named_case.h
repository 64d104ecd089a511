#pragma once
// A row of a table of cases for a function of one argument: what it is given and what it must
// give back, under a name that test listings show in place of the bytes, which are often
// control characters or a store's raw text.

#include <ostream>
#include <string>
#include <string_view>

namespace moshitong::testing {

template <typename Given, typename Expected = std::string_view>
struct NamedCase {
    std::string_view name;
    Given given;
    Expected expected;

    friend void PrintTo(const NamedCase& value, std::ostream* out) { *out << value.name; }
};

// Names each instance of a parameterised test after its case, for any case with a `name`.
inline constexpr auto caseName = [](const auto& info) { return std::string(info.param.name); };

}  // namespace moshitong::testing
