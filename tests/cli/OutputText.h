#pragma once

#include <sstream>
#include <string>
#include <vector>

// Readers of what a command printed, for the CLI tests.
namespace mofeng::cli::printed {

// The lines of `text`, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The tab-separated fields of each line; a trailing tab ends with an empty field.
inline std::vector<std::vector<std::string>> Table(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Lines(text)) {
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1) {
            fields.push_back(line.substr(from, tab - from));
        }
        fields.push_back(line.substr(from));
        rows.push_back(std::move(fields));
    }
    return rows;
}

}  // namespace mofeng::cli::printed
