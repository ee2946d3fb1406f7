// The fault matrix: each cell is one operation meeting one fault in the
// answer it waits for, on one link; a failing cell names all three.
#include "tests/faults/matrix_fixture.h"

namespace faults {
namespace {

std::string NameOf(const ::testing::TestParamInfo<Cell>& info) {
    return CellName(info.param);
}

TEST_P(MatrixCell, EndsReportsAndRecovers) {
    RunCell(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Tcp, MatrixCell, ::testing::ValuesIn(TcpCells()), NameOf);
INSTANTIATE_TEST_SUITE_P(Pty, MatrixCell, ::testing::ValuesIn(PtyCells()), NameOf);

} // namespace
} // namespace faults
