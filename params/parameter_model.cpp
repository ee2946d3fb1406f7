#include "params/parameter_model.h"

#include "params/row_palette.h"

namespace params {

ParameterModel::ParameterModel() {
    for (int r = 0; r < kTeachRows; ++r) {
        rowColour_[r] = DefaultRowColour(r);
    }
}

void ParameterModel::Changed() {
    if (batchDepth_ > 0) {
        batchChanged_ = true;
    } else {
        replaced.Notify();
    }
}

void ParameterModel::SetValue(ParaField f, uint16_t v) {
    if (f < 0 || f >= kParaFieldCount || block_.get(f) == v) {
        return;
    }
    block_.set(f, v);
    if (batchDepth_ > 0) {
        batchChanged_ = true;
    } else {
        valueChanged.Notify(f);
    }
}

void ParameterModel::SetCell(int row, TeachField f, uint16_t v) {
    if (row < 0 || row >= kTeachRows || f < 0 || f >= kTeachFieldCount || table_.get(row, f) == v) {
        return;
    }
    table_.set(row, f, v);
    if (batchDepth_ > 0) {
        batchChanged_ = true;
    } else {
        cellChanged.Notify(row, f);
    }
}

void ParameterModel::Replace(const ParameterBlockBytes& block, const TeachTableBytes& table) {
    block_ = block;
    table_ = table;
    Changed();
}

void ParameterModel::ReplaceTable(const TeachTableBytes& table) {
    table_ = table;
    Changed();
}

void ParameterModel::BeginBatch() {
    ++batchDepth_;
}

void ParameterModel::EndBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0 && batchChanged_) {
        batchChanged_ = false;
        replaced.Notify();
    }
}

void ParameterModel::SetTeachRowNo(uint16_t row) {
    if (row >= kTeachRows) {
        row = kTeachRows - 1;
    }
    if (row != teachRowNo_) {
        teachRowNo_ = row;
        teachSelectionChanged.Notify();
    }
}

void ParameterModel::SetTeachTolOff(uint16_t off) {
    off = off != 0 ? 1 : 0;
    if (off != teachTolOff_) {
        teachTolOff_ = off;
        teachSelectionChanged.Notify();
    }
}

uint32_t ParameterModel::RowColour(int row) const {
    return row >= 0 && row < kTeachRows ? rowColour_[row] : 0;
}

const std::string& ParameterModel::RowText(int row) const {
    static const std::string kNone;
    return row >= 0 && row < kTeachRows ? rowText_[row] : kNone;
}

void ParameterModel::SetRowColour(int row, uint32_t colour) {
    if (row < 0 || row >= kTeachRows || rowColour_[row] == colour) {
        return;
    }
    rowColour_[row] = colour;
    rowAttributesChanged.Notify(row);
}

void ParameterModel::SetRowText(int row, const std::string& utf8) {
    if (row < 0 || row >= kTeachRows) {
        return;
    }
    std::string text = CutUtf8(utf8, kRowTextMaxChars);
    if (rowText_[row] == text) {
        return;
    }
    rowText_[row] = std::move(text);
    rowAttributesChanged.Notify(row);
}

void ParameterModel::ResetRowColours(bool clearTexts) {
    for (int r = 0; r < kTeachRows; ++r) {
        rowColour_[r] = DefaultRowColour(r);
        if (clearTexts) {
            rowText_[r].clear();
        }
    }
    rowAttributesChanged.Notify(-1);
}

void ParameterModel::Reset() {
    block_ = ParameterBlockBytes{};
    table_ = TeachTableBytes{};
    teachRowNo_ = 0;
    teachTolOff_ = 0;
    for (int r = 0; r < kTeachRows; ++r) {
        rowColour_[r] = DefaultRowColour(r);
        rowText_[r].clear();
    }
    Changed();
    teachSelectionChanged.Notify();
    rowAttributesChanged.Notify(-1);
}

std::string CutUtf8(const std::string& utf8, size_t maxChars) {
    size_t chars = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        if (chars == maxChars) {
            return utf8.substr(0, i);
        }
        ++i;
        // continuation bytes belong to the character just counted
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) {
            ++i;
        }
        ++chars;
    }
    return utf8;
}

} // namespace params
