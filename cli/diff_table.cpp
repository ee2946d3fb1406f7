#include "cli/diff_table.h"

#include "cli/options.h"

#include <algorithm>
#include <map>

namespace cli {
namespace {

std::string StatusWord(const DiffRow& row) {
    if (row.status == kExitDone) {
        return "same";
    }
    if (row.status == kExitRefused && !row.differences.empty()) {
        return "differs";
    }
    return "failed (" + std::to_string(row.status) + ")";
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

} // namespace

std::string DiffTable(const std::string& referenceName, const std::vector<DiffRow>& rows,
                      bool csv) {
    // The keys that differ anywhere, in file order, with the reference's value.
    std::map<std::string, uint16_t> reference;
    for (const DiffRow& row : rows) {
        for (const Difference& d : row.differences) {
            reference.emplace(d.key, d.first);
        }
    }
    std::vector<std::string> keys;
    for (const std::string& key : AllKeys()) {
        if (reference.count(key) != 0) {
            keys.push_back(key);
        }
    }
    std::vector<std::vector<std::string>> cells;
    std::vector<std::string> caption{csv ? "sensor" : "SENSOR", csv ? "serial" : "SERIAL",
                                     csv ? "status" : "STATUS"};
    caption.insert(caption.end(), keys.begin(), keys.end());
    cells.push_back(caption);
    std::vector<std::string> first{referenceName, csv ? "" : "-", "reference"};
    for (const std::string& key : keys) {
        first.push_back(std::to_string(reference[key]));
    }
    cells.push_back(first);
    for (const DiffRow& row : rows) {
        std::vector<std::string> line{
            row.name, row.serial != 0 ? std::to_string(row.serial) : (csv ? "" : "-"),
            StatusWord(row)};
        const bool failed = row.status != kExitDone && row.status != kExitRefused;
        for (const std::string& key : keys) {
            const auto d = std::find_if(row.differences.begin(), row.differences.end(),
                                        [&key](const Difference& x) { return x.key == key; });
            if (failed) {
                line.push_back("");
            } else if (d != row.differences.end()) {
                line.push_back(std::to_string(d->second));
            } else {
                line.push_back(csv ? std::to_string(reference[key]) : "=");
            }
        }
        cells.push_back(line);
    }
    std::string text;
    if (csv) {
        for (const auto& line : cells) {
            for (size_t c = 0; c < line.size(); ++c) {
                text += (c == 0 ? "" : ",") + CsvField(line[c]);
            }
            text += "\n";
        }
        return text;
    }
    std::vector<size_t> width(caption.size(), 0);
    for (const auto& line : cells) {
        for (size_t c = 0; c < line.size(); ++c) {
            width[c] = std::max(width[c], line[c].size());
        }
    }
    for (const auto& line : cells) {
        std::string out;
        for (size_t c = 0; c < line.size(); ++c) {
            out += line[c];
            if (c + 1 < line.size()) {
                out += std::string(width[c] - line[c].size() + 2, ' ');
            }
        }
        text += out.substr(0, out.find_last_not_of(' ') + 1) + "\n";
    }
    return text;
}

} // namespace cli
