#pragma once
// A reader for comma-separated values as ECDICT writes them (RFC 4180): fields separated by
// commas, a field in double quotes may hold commas, line breaks and doubled quotes, and rows end
// in LF or CR LF. A quote inside an unquoted field is an ordinary character, as in most CSV
// writers' output.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace moshitong::builder {

class CsvError : public std::runtime_error {
public:
    CsvError(std::size_t line, const std::string& problem)
        : std::runtime_error(problem), line_(line) {}
    std::size_t line() const noexcept { return line_; }

private:
    std::size_t line_;
};

class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    // Reads the next row into `fields` (replacing what it held). Returns false at the end of the
    // text; throws CsvError naming the line on which the bad row starts.
    bool next(std::vector<std::string>& fields);

    // The line on which the row last read starts, counting from 1.
    std::size_t rowLine() const noexcept { return rowLine_; }

private:
    void readQuoted(std::string& field);
    void readPlain(std::string& field);
    // Consumes a line ending at the current position; false if there is none.
    bool consumeLineEnd();

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t line_ = 1;
    std::size_t rowLine_ = 0;
};

}  // namespace moshitong::builder
