#include "teach/teach_logic.h"

#include "params/parameter_layout.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace teach {

Tolerances DefaultTolerances(uint16_t evaluationMode, uint16_t calculationMode,
                             uint16_t powerMode) {
    // Colour tolerance by evaluation mode: BEST HIT looks wider, MIN DIST
    // narrower; the others (FIRST HIT, COL5) take 100.
    uint16_t colour = 100;
    uint16_t intensityStat = 100;
    uint16_t intensityDyn = 50;
    if (evaluationMode == params::kBestHit) {
        colour = 200;
        intensityStat = 200;
        intensityDyn = 100;
    } else if (evaluationMode == params::kMinDist) {
        colour = 40;
        intensityStat = 200;
        intensityDyn = 100;
    }
    if (params::Is3D(calculationMode)) {
        return {colour, 1};
    }
    if (calculationMode == params::kSiM2D) {
        return {colour, 50}; // M runs 0..1200, so its tolerance stays small
    }
    return {colour, powerMode == params::kPowerDyn ? intensityDyn : intensityStat};
}

void TeachCells(const TeachInput& in, uint16_t cells[kValueColumns]) {
    const bool is3D = params::Is3D(in.calculationMode);
    cells[0] = static_cast<uint16_t>(in.x);
    cells[1] = static_cast<uint16_t>(in.y);
    cells[is3D ? 2 : 3] = static_cast<uint16_t>(in.intensity);
    if (in.tolerancesOff) {
        return;
    }
    const Tolerances t = DefaultTolerances(in.evaluationMode, in.calculationMode, in.powerMode);
    if (is3D) {
        cells[3] = t.first;
        cells[4] = 1;
    } else {
        cells[2] = t.first;
        cells[4] = t.second;
    }
}

int NextRowNo(int row, bool autoIncrement) {
    return autoIncrement && row < kLastRowNo ? row + 1 : row;
}

bool IsValueCell(int row, int col) {
    return row >= 1 && row <= kTableRows && col >= 1 && col <= kValueColumns;
}

bool HasSelection(const Selection& s) {
    return s.top >= 1 && s.left >= 1 && s.height >= 1 && s.width >= 1;
}

namespace {

template <typename Next>
std::vector<CellWrite> Visit(const Selection& s, Next next) {
    std::vector<CellWrite> writes;
    if (!HasSelection(s)) {
        return writes;
    }
    // Rows past the grid are never visited, whatever the rectangle says.
    const int lastRow = std::min(s.top + s.height - 1, kTableRows);
    const int lastCol = s.left + s.width - 1;
    for (int row = s.top; row <= lastRow; ++row) {
        for (int col = s.left; col <= lastCol; ++col) {
            if (IsValueCell(row, col)) {
                writes.push_back({row, col, next()});
            }
        }
    }
    return writes;
}

} // namespace

std::vector<CellWrite> SetSelectionTo(const Selection& s, uint16_t value) {
    return Visit(s, [value] { return value; });
}

std::vector<CellWrite> IncrementSelectionWith(const Selection& s, uint16_t start,
                                              uint16_t increment) {
    uint16_t v = start;
    return Visit(s, [&v, increment] {
        const uint16_t now = v;
        v = static_cast<uint16_t>(v + increment);
        return now;
    });
}

std::vector<CellWrite> ResetSelection(const Selection& s) {
    return SetSelectionTo(s, 1);
}

std::optional<int32_t> ScanCellValue(const std::string& text) {
    size_t i = 0;
    const size_t n = text.size();
    auto blank = [&](size_t k) { return text[k] == ' ' || text[k] == '\t'; };
    while (i < n && blank(i)) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const size_t digitsFrom = i;
    long long value = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1) {
            return std::nullopt; // the prompt takes 9 characters, so this is only a guard
        }
        ++i;
    }
    if (i == digitsFrom) {
        return std::nullopt;
    }
    while (i < n && blank(i)) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT32_MAX || value < INT32_MIN) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

} // namespace teach
