// The scope printout: a report with a page header (date, time, page n of
// m), the title, the program line, the sensor identification, the user's
// comment and an image of the whole scope panel, printed on the printer
// chosen in the print dialog (or into a PDF file, the dialog's print-to-file
// choice). The scope view prints its panel (ScopeView::PrintScopeGraph).
#pragma once

#include <functional>
#include <string>

class QImage;
class QPrinter;

namespace scope {

// Paints the report on `printer` with the given panel image. False when the
// printer could not be opened or the output could not be completed.
bool PrintReport(QPrinter& printer, const QImage& panelImage, const std::string& sensorId,
                 const std::string& comment);

// Test hook in place of the print dialog. The hook may set up the printer
// (for instance a PDF output file) and returns true for "print", false for
// "cancel".
using PrintDialogHook = std::function<bool(QPrinter&)>;

} // namespace scope
