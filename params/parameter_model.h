// The parameter set as the program holds it: the 17 parameter words and the
// 31-row teach table in their wire layout, the teach row that teach
// operations write into, the teach-tolerance switch, and the row attributes
// (indicator colour and row text of each teach row). The model is the one
// master copy: panels show it and write their edits into it; SEND, GET,
// the files and the teach operations read and write it. Every change is
// announced, so that views and graphs follow without being asked.
#pragma once

#include "params/parameter_layout.h"
#include "platform/notifier.h"

#include <cstdint>
#include <string>

namespace params {

constexpr int kRowTextMaxChars = 99;

class ParameterModel {
public:
    ParameterModel();

    const ParameterBlockBytes& Block() const { return block_; }
    const TeachTableBytes& Table() const { return table_; }
    uint16_t Value(ParaField f) const { return block_.get(f); }
    uint16_t Cell(int row, TeachField f) const { return table_.get(row, f); }
    uint16_t CalculationMode() const { return block_.get(kCalculationMode); }
    uint16_t EvaluationMode() const { return block_.get(kEvaluationMode); }

    // One word or cell; announced only when it really changes. A row
    // outside 0..30 is ignored.
    void SetValue(ParaField f, uint16_t v);
    void SetCell(int row, TeachField f, uint16_t v);
    // The whole set at once (read from the sensor or a file): announced as
    // one replacement, not word by word.
    void Replace(const ParameterBlockBytes& block, const TeachTableBytes& table);
    void ReplaceTable(const TeachTableBytes& table);
    // Several single changes announced as one replacement at the end of
    // the batch (the outermost EndBatch).
    void BeginBatch();
    void EndBatch();

    // The teach row 0..30 that TEACH DATA TO and the assistants write into.
    uint16_t TeachRowNo() const { return teachRowNo_; }
    void SetTeachRowNo(uint16_t row);
    // 1: TEACH DATA TO leaves the tolerance cells as they are.
    uint16_t TeachTolOff() const { return teachTolOff_; }
    void SetTeachTolOff(uint16_t off);

    // Row attributes of teach row 0..30.
    uint32_t RowColour(int row) const;
    const std::string& RowText(int row) const;
    void SetRowColour(int row, uint32_t colour);
    // Longer texts are cut to kRowTextMaxChars characters (not bytes).
    void SetRowText(int row, const std::string& utf8);
    // Colours back to the built-in palette; row texts stay unless
    // clearTexts.
    void ResetRowColours(bool clearTexts);

    // Everything to its start values (zero blocks, row 0, palette colours,
    // empty texts); announced as a replacement.
    void Reset();

    platform::Notifier<ParaField> valueChanged;
    platform::Notifier<int, TeachField> cellChanged;
    // The whole set changed (Replace, a batch, Reset).
    platform::Notifier<> replaced;
    platform::Notifier<> teachSelectionChanged;   // teach row or tolerance switch
    platform::Notifier<int> rowAttributesChanged; // row, or -1 for all rows

private:
    void Changed(); // a replacement now, or at the end of the batch

    ParameterBlockBytes block_;
    TeachTableBytes table_;
    uint16_t teachRowNo_ = 0;
    uint16_t teachTolOff_ = 0;
    uint32_t rowColour_[kTeachRows];
    std::string rowText_[kTeachRows];
    int batchDepth_ = 0;
    bool batchChanged_ = false;
};

// Cuts a UTF-8 text to at most `maxChars` characters, never inside a
// character.
std::string CutUtf8(const std::string& utf8, size_t maxChars);

} // namespace params
