// A small reader of the tables written for a spreadsheet, for the tests: the byte-order mark,
// then rows of fields separated by commas and ended by CR LF, a field quoted as RFC 4180 says.
// Whatever a spreadsheet would read otherwise is a problem.
#pragma once

#include <string>
#include <vector>

#include "test_util.h"

struct CsvRead {
    std::string problem;  // empty when the table reads
    std::vector<std::vector<std::string>> rows;
};

inline CsvRead ReadCsv(const Bytes& text) {
    CsvRead read;
    if (text.compare(0, 3, "\xEF\xBB\xBF") != 0) {
        read.problem = "no byte-order mark";
        return read;
    }
    std::vector<std::string> row;
    std::string field;
    size_t at = 3;
    while (at < text.size() && read.problem.empty()) {
        if (text[at] == '"') {
            size_t end = at + 1;
            for (; end < text.size(); ++end) {
                if (text[end] == '"' && (end + 1 == text.size() || text[end + 1] != '"')) {
                    break;
                }
                field += text[end];
                end += text[end] == '"' ? 1 : 0;
            }
            if (end >= text.size()) {
                read.problem = "a quote not closed";
            }
            at = end + 1;
        }
        for (; at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n'; ++at) {
            if (text[at] == '"') {
                read.problem = "a quote inside an unquoted field";
            }
            field += text[at];
        }
        row.push_back(field);
        field.clear();
        if (at < text.size() && text[at] == ',') {
            ++at;
        } else if (text.compare(at, 2, "\r\n") == 0) {
            read.rows.push_back(row);
            row.clear();
            at += 2;
        } else {
            read.problem = "a row without CR LF at its end";
        }
    }
    return read;
}
