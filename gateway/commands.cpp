#include "gateway/commands.h"

#include "gateway/payloads.h"
#include "params/parameter_file_io.h"
#include "params/transfer_ops.h"
#include "sensor/sensor.h"
#include "sensor/set_verify.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace gateway {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QJsonObject Reply(const Command& c, bool ok) {
    QJsonObject o{{"command", Q(c.kind)}, {"ok", ok}, {"set", c.set}};
    if (!c.id.isUndefined()) {
        o.insert("id", c.id);
    }
    return o;
}

// A parameter file's text, as chromik3-cli send reads it: a key missing,
// given twice or out of range sends nothing.
bool SetOfFileText(const std::string& text, sensor::SetWords* words, std::string* error) {
    const params::ParameterFileRead f = params::ReadParameterFileText(
        text, params::DefaultParameterBlock(), params::TeachTableBytes());
    if (f.readResult < 0 || !f.isParameterFile) {
        *error = "not a parameter file";
        return false;
    }
    std::string faults = f.paraReport + f.teachReport;
    for (const std::string& k : f.givenTwice) {
        faults += "given twice: " + k + "\n";
    }
    for (const std::string& k : f.outOfRange) {
        faults += "not a 16-bit value: " + k + "\n";
    }
    if (!faults.empty()) {
        *error = "the parameter file is not whole; nothing was sent:\n" + faults;
        return false;
    }
    words->block = f.block;
    words->table = f.table;
    return true;
}

bool ParseJson(const QJsonObject& o, Command* c, std::string* error) {
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QString k = it.key();
        const bool known = k == "id" || k == "set" ||
                           (c->kind == "send" &&
                            (k == "eeprom" || k == "file" || k == "parameters" || k == "teach"));
        if (!known) {
            *error = "unknown key \"" + k.toStdString() + "\" for " + c->kind;
            return false;
        }
    }
    c->id = o.value("id");
    const QJsonValue set = o.value("set");
    if (!set.isUndefined()) {
        if (!set.isDouble() || (set.toDouble() != 0 && set.toDouble() != 1)) {
            *error = "\"set\" is 0 or 1";
            return false;
        }
        c->set = set.toInt();
    }
    if (c->kind == "get") {
        return true;
    }
    const QJsonValue eeprom = o.value("eeprom");
    if (!eeprom.isUndefined() && !eeprom.isBool()) {
        *error = "\"eeprom\" is true or false";
        return false;
    }
    c->eeprom = eeprom.toBool(false);
    const bool file = o.contains("file");
    const bool words = o.contains("parameters") || o.contains("teach");
    if (file == words) {
        *error = file ? "either \"file\" or \"parameters\" and \"teach\", not both"
                      : "nothing to send: give \"file\" or \"parameters\" and \"teach\"";
        return false;
    }
    if (file) {
        if (!o.value("file").isString()) {
            *error = "\"file\" is the parameter file's text";
            return false;
        }
        c->wholeSet = true;
        return SetOfFileText(o.value("file").toString().toStdString(), &c->words, error);
    }
    // Checked here against any set, applied to the sensor's set by the worker.
    sensor::SetWords probe;
    if (!ApplySetJson(o, &probe, error)) {
        return false;
    }
    c->changes = o;
    return true;
}

QJsonObject RunSend(sensor::Sensor& s, const Command& c, bool* changed) {
    const auto set = static_cast<uint16_t>(c.set);
    sensor::SetWords current;
    const params::TransferResult read =
        params::ReadParaSet(s.link, set, false, &current.block, &current.table);
    if (!read.ok) {
        return ErrorReply(c, read.message + "\nNothing was sent.");
    }
    sensor::SetWords out = current;
    std::string error;
    if (c.wholeSet) {
        out = c.words;
        sensor::KeepReservedWords(&out, current);
    } else if (!ApplySetJson(c.changes, &out, &error)) {
        return ErrorReply(c, error);
    }
    const params::TransferResult w =
        params::WriteParaSet(s.link, set, c.eeprom, out.block, out.table);
    *changed = w.failedAt != params::TransferStep::Block;
    if (!w.ok) {
        return ErrorReply(c, params::TransferFailureText(w, c.eeprom));
    }
    QJsonObject reply = Reply(c, true);
    reply.insert("eeprom", c.eeprom);
    reply.insert("blockPlausibility", w.blockPlausibility);
    reply.insert("tablePlausibility", w.tablePlausibility);
    QJsonArray verified;
    std::string failure;
    for (const bool eeprom : {false, true}) {
        if (eeprom && !c.eeprom) {
            break;
        }
        const sensor::Verification v = sensor::VerifySet(s.link, set, eeprom, out);
        verified.append(
            QJsonObject{{"memory", v.memory},
                        {"ok", v.Ok()},
                        {"differences", sensor::DifferencesJson(v.differences, "sent", "read")}});
        if (!v.Ok()) {
            failure = sensor::VerificationFailureText(v);
            break;
        }
    }
    reply.insert("verified", verified);
    if (failure.empty() && (w.blockPlausibility != 0 || w.tablePlausibility != 0)) {
        failure = "The sensor replaced values that failed its plausibility check.";
    }
    if (!failure.empty()) {
        reply.insert("ok", false);
        reply.insert("error", Q(failure));
    }
    return reply;
}

} // namespace

bool ParseCommand(const std::string& kind, const std::string& payload, Command* c,
                  std::string* error) {
    c->kind = kind;
    if (kind != "get" && kind != "send") {
        *error = "unknown command \"" + kind + "\" (get, send)";
        return false;
    }
    if (kind == "get" && payload.empty()) {
        return true;
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(payload), &parse);
    if (parse.error == QJsonParseError::NoError && doc.isObject()) {
        return ParseJson(doc.object(), c, error);
    }
    if (kind == "send" && payload.find("[GENERAL INFO]") != std::string::npos) {
        c->wholeSet = true;
        return SetOfFileText(payload, &c->words, error);
    }
    *error = kind == "get" ? "the payload is no JSON object"
                           : "the payload is neither a JSON object nor a parameter file";
    return false;
}

QJsonObject ErrorReply(const Command& c, const std::string& error) {
    QJsonObject o = Reply(c, false);
    o.insert("error", Q(error));
    return o;
}

QJsonObject RunCommand(sensor::Sensor& s, const Command& c, bool* changed) {
    *changed = false;
    if (c.kind == "send") {
        return RunSend(s, c, changed);
    }
    sensor::SetWords words;
    const params::TransferResult r = params::ReadParaSet(s.link, static_cast<uint16_t>(c.set),
                                                         false, &words.block, &words.table);
    if (!r.ok) {
        return ErrorReply(c, r.message + "\nThe set could not be read.");
    }
    QJsonObject reply = Reply(c, true);
    const QJsonObject set = SetJson(c.set, words);
    reply.insert("parameters", set.value("parameters"));
    reply.insert("teach", set.value("teach"));
    std::string text;
    if (params::ParameterFileText(words.block, words.table, &text) == 0) {
        reply.insert("file", Q(text));
    }
    return reply;
}

} // namespace gateway
