#include "sensor/set_compare.h"

#include "params/parameter_file_content.h"

#include <QJsonObject>

namespace sensor {

namespace {

constexpr const char* kRowKeys[] = {"CELL 0", "CELL 1", "CELL 2", "CELL 3",
                                    "CELL 4", "GROUP",  "HOLD",   "reserved"};

} // namespace

const std::vector<std::string>& AllKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> k;
        for (int f = 0; f < params::kParaFieldCount; ++f) {
            k.push_back(std::string(params::kParameterSection) + ": " +
                        params::kParaFieldInfo[f].fileKey);
        }
        for (int r = 0; r < params::kTeachRows; ++r) {
            for (const char* key : kRowKeys) {
                k.push_back(params::TeachVectorSection(r) + ": " + key);
            }
        }
        return k;
    }();
    return keys;
}

std::vector<Difference> CompareSets(const SetWords& a, const SetWords& b, bool withReserved) {
    std::vector<Difference> out;
    for (int f = 0; f < params::kParaFieldCount; ++f) {
        const auto field = static_cast<params::ParaField>(f);
        if (a.block.get(field) != b.block.get(field)) {
            out.push_back(
                {std::string(params::kParameterSection) + ": " + params::kParaFieldInfo[f].fileKey,
                 a.block.get(field), b.block.get(field)});
        }
    }
    for (int r = 0; r < params::kTeachRows; ++r) {
        for (int f = 0; f < params::kTeachFieldCount; ++f) {
            const auto field = static_cast<params::TeachField>(f);
            if ((field != params::kReserved || withReserved) &&
                a.table.get(r, field) != b.table.get(r, field)) {
                out.push_back({params::TeachVectorSection(r) + ": " + kRowKeys[f],
                               a.table.get(r, field), b.table.get(r, field)});
            }
        }
    }
    return out;
}

QJsonArray DifferencesJson(const std::vector<Difference>& differences, const char* firstName,
                           const char* secondName) {
    QJsonArray array;
    for (const Difference& d : differences) {
        array.append(QJsonObject{
            {"key", QString::fromStdString(d.key)}, {firstName, d.first}, {secondName, d.second}});
    }
    return array;
}

std::string DifferencesText(const std::vector<Difference>& differences) {
    std::string text;
    for (const Difference& d : differences) {
        text += "\n  " + d.key + " " + std::to_string(d.first) + " -> " + std::to_string(d.second);
    }
    return text;
}

} // namespace sensor
