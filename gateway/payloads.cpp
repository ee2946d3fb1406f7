#include "gateway/payloads.h"

#include "params/parameter_layout.h"
#include "sensor/frame_json.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace gateway {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

constexpr const char* kCellNames = "cells";

// A JSON number that is a whole number from 0 to 65535.
bool Word(const QJsonValue& v, uint16_t* word) {
    if (!v.isDouble()) {
        return false;
    }
    const double d = v.toDouble();
    if (d < 0 || d > 65535 || d != static_cast<double>(static_cast<long>(d))) {
        return false;
    }
    *word = static_cast<uint16_t>(d);
    return true;
}

bool ApplyRow(const QJsonObject& r, params::TeachTableBytes* table, std::string* error) {
    uint16_t row = 0;
    if (!Word(r.value("row"), &row) || row >= params::kTeachRows) {
        *error = "a teach row needs \"row\" from 0 to 30";
        return false;
    }
    const std::string where = "teach row " + std::to_string(row) + ": ";
    for (auto it = r.begin(); it != r.end(); ++it) {
        const std::string key = it.key().toStdString();
        uint16_t w = 0;
        if (key == "row") {
            continue;
        }
        if (key == kCellNames) {
            const QJsonArray cells = it.value().toArray();
            if (!it.value().isArray() || cells.size() > 5) {
                *error = where + "\"cells\" is a list of at most 5 numbers";
                return false;
            }
            for (int c = 0; c < cells.size(); ++c) {
                if (!Word(cells[c], &w)) {
                    *error = where + "a cell is a whole number from 0 to 65535";
                    return false;
                }
                table->set(row, static_cast<params::TeachField>(params::kCell0 + c), w);
            }
        } else if (key == "group" || key == "hold") {
            if (!Word(it.value(), &w)) {
                *error = where + key + " is a whole number from 0 to 65535";
                return false;
            }
            table->set(row, key == "group" ? params::kGroup : params::kHold, w);
        } else {
            *error = where + "unknown key \"" + key + "\"";
            return false;
        }
    }
    return true;
}

} // namespace

std::string Compact(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}

std::string StatePayload(const std::string& state, const std::string& reason,
                         const std::string& since, const SensorFacts& f) {
    QJsonObject o{{"state", Q(state)}, {"address", Q(f.address)}, {"gateway", Q(f.gateway)}};
    if (!since.empty()) {
        o.insert("since", Q(since));
    }
    if (!reason.empty()) {
        o.insert("reason", Q(reason));
    }
    if (!f.name.empty()) {
        o.insert("name", Q(f.name));
    }
    if (f.identified) {
        o.insert("serial", f.identity.serialNumber);
        o.insert("id", Q(f.identity.parts.Display()));
        o.insert("firmware", Q(f.identity.parts.Version()));
    }
    return Compact(o);
}

std::string ColorPayload(const live::LiveDataFrameBytes& frame, uint16_t evaluationMode,
                         const std::vector<std::string>& rowTexts, const std::string& time) {
    const int color = frame.get(live::kColor);
    const int group = frame.get(live::kGroup);
    QJsonObject o{{"time", Q(time)}, {"color", color}, {"group", group}};
    if (evaluationMode >= params::kCol5) {
        o.insert("pattern", true); // COLOR is the output pattern, not a row
        o.insert("match", color != 255 && color != 0);
    } else {
        const bool match = color >= 0 && color < params::kTeachRows;
        o.insert("match", match);
        if (match && static_cast<size_t>(color) < rowTexts.size()) {
            o.insert("text", Q(rowTexts[static_cast<size_t>(color)]));
        }
    }
    return Compact(o);
}

QJsonObject SetJson(int set, const sensor::SetWords& w) {
    QJsonObject parameters;
    for (int f = 0; f < params::kParaFieldCount; ++f) {
        parameters.insert(params::kParaFieldInfo[f].fileKey,
                          w.block.get(static_cast<params::ParaField>(f)));
    }
    QJsonArray teach;
    for (int r = 0; r < params::kTeachRows; ++r) {
        QJsonArray cells;
        for (int c = params::kCell0; c <= params::kCell4; ++c) {
            cells.append(w.table.get(r, static_cast<params::TeachField>(c)));
        }
        teach.append(QJsonObject{{"row", r},
                                 {kCellNames, cells},
                                 {"group", w.table.get(r, params::kGroup)},
                                 {"hold", w.table.get(r, params::kHold)}});
    }
    return {{"set", set}, {"parameters", parameters}, {"teach", teach}};
}

std::string ParamsPayload(const sensor::SetWords sets[2], const std::string& time) {
    return Compact(
        {{"time", Q(time)}, {"sets", QJsonArray{SetJson(0, sets[0]), SetJson(1, sets[1])}}});
}

std::string StatsPayload(const Counters& c, double interval, const std::string& time) {
    return Compact({{"time", Q(time)},
                    {"interval", interval},
                    {"framesRead", static_cast<double>(c.read)},
                    {"framesPublished", static_cast<double>(c.published)},
                    {"framesDropped", static_cast<double>(c.dropped)},
                    {"framesWaiting", static_cast<double>(c.waiting)},
                    {"linkErrors", static_cast<double>(c.linkErrors)},
                    {"reconnects", static_cast<double>(c.reconnects)},
                    {"colorsDropped", static_cast<double>(c.colorsDropped)}});
}

std::string FramePayload(const QueuedFrame& f) {
    QJsonObject o = sensor::LiveFrameJson(f.frame, sensor::IsoTimeWithOffset(f.received));
    o.insert("number", static_cast<double>(f.number));
    return Compact(o);
}

bool ApplySetJson(const QJsonObject& o, sensor::SetWords* words, std::string* error) {
    const QJsonValue p = o.value("parameters");
    if (!p.isUndefined()) {
        if (!p.isObject()) {
            *error = "\"parameters\" is an object of parameter names and values";
            return false;
        }
        const QJsonObject po = p.toObject();
        for (auto it = po.begin(); it != po.end(); ++it) {
            int field = -1;
            for (int f = 0; f < params::kParaFieldCount; ++f) {
                if (it.key() == params::kParaFieldInfo[f].fileKey) {
                    field = f;
                }
            }
            uint16_t w = 0;
            if (field < 0) {
                *error = "unknown parameter \"" + it.key().toStdString() + "\"";
                return false;
            }
            if (!Word(it.value(), &w)) {
                *error = it.key().toStdString() + " is a whole number from 0 to 65535";
                return false;
            }
            words->block.set(static_cast<params::ParaField>(field), w);
        }
    }
    const QJsonValue t = o.value("teach");
    if (!t.isUndefined()) {
        if (!t.isArray()) {
            *error = "\"teach\" is a list of rows";
            return false;
        }
        for (const QJsonValue& r : t.toArray()) {
            if (!r.isObject() || !ApplyRow(r.toObject(), &words->table, error)) {
                if (error->empty()) {
                    *error = "a teach row is an object";
                }
                return false;
            }
        }
    }
    return true;
}

} // namespace gateway
