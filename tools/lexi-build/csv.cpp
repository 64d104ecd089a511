#include "tools/lexi-build/csv.h"

namespace moshitong::builder {

bool CsvReader::next(std::vector<std::string>& fields) {
    fields.clear();
    if (pos_ >= text_.size()) {
        return false;
    }
    rowLine_ = line_;
    while (true) {
        std::string& field = fields.emplace_back();
        if (pos_ < text_.size() && text_[pos_] == '"') {
            readQuoted(field);
        } else {
            readPlain(field);
        }
        if (pos_ >= text_.size() || consumeLineEnd()) {
            return true;
        }
        if (text_[pos_] != ',') {
            throw CsvError(rowLine_, "unexpected text after a closing quote");
        }
        ++pos_;
    }
}

void CsvReader::readQuoted(std::string& field) {
    const std::size_t openedOnLine = line_;
    ++pos_;
    while (true) {
        const std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos) {
            throw CsvError(openedOnLine, "a quoted field is not closed");
        }
        const std::string_view piece = text_.substr(pos_, quote - pos_);
        for (const char c : piece) {
            line_ += c == '\n' ? 1 : 0;
        }
        field.append(piece);
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == '"') {
            field += '"';
            ++pos_;
        } else {
            return;
        }
    }
}

void CsvReader::readPlain(std::string& field) {
    const std::size_t start = pos_;
    while (pos_ < text_.size()) {
        const char c = text_[pos_];
        if (c == ',' || c == '\n' ||
            (c == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')) {
            break;
        }
        ++pos_;
    }
    field.assign(text_.substr(start, pos_ - start));
}

bool CsvReader::consumeLineEnd() {
    if (text_[pos_] == '\n') {
        ++pos_;
    } else if (text_.substr(pos_, 2) == "\r\n") {
        pos_ += 2;
    } else {
        return false;
    }
    ++line_;
    return true;
}

}  // namespace moshitong::builder
