#include "scope/scope_print.h"

#include "platform/graph.h"
#include "platform/popups.h"
#include "platform/shell_services.h"
#include "platform/widgets.h"
#include "scope/scope.h"
#include "scope/scope_report.h"
#include "scope/scope_ui.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStackedWidget>
#include <QTemporaryFile>

#include <cstdio>

namespace scope {
namespace {

constexpr const char* kTitleError = "ERROR";
constexpr const char* kTextNoReport = "Could not prepare the scope report...";
constexpr const char* kTitleInfo = "Info!";
constexpr const char* kTextPrinted = "Print successful!";
constexpr const char* kTextPrintError = "Print error ";
// Default output of the dialog's print-to-file choice on a machine without printers.
constexpr const char* kDefaultPdfName = "ScopeScreenShot.pdf";

QFont ReportFont(int pointSize) {
    QFont f(kReportFont);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(pointSize);
    return f;
}

struct Placed {
    ReportElement element;
    double height = 0;
    int page = 0;
};

// Writes through a temporary file beside the target and renames it when
// complete, so a failed print never leaves a half-written PDF in its place.
bool PrintIntoPdfFile(QPrinter& printer, const QImage& image, const std::string& sensorId,
                      const std::string& comment) {
    const QString target = printer.outputFileName();
    QTemporaryFile temp(target + ".XXXXXX");
    temp.setAutoRemove(false);
    if (!temp.open()) {
        return false;
    }
    const QString tempName = temp.fileName();
    // A temporary file is private to its owner; the report is an ordinary file.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    temp.close();
    printer.setOutputFileName(tempName);
    printer.setOutputFormat(QPrinter::PdfFormat);
    bool ok = PrintReport(printer, image, sensorId, comment);
    printer.setOutputFileName(target);
    ok = ok && std::rename(QFile::encodeName(tempName).constData(),
                           QFile::encodeName(target).constData()) == 0;
    if (!ok) {
        QFile::remove(tempName);
    }
    return ok;
}

} // namespace

QWidget* ScopeView::MainWindow() const {
    QWidget* panel = panels_.scope.panel;
    return panel != nullptr ? panel->window() : nullptr;
}

// The scope panel as the user sees it, drawn afresh: it becomes the visible
// child panel (if the user had closed it) and both graphs are redrawn now
// rather than on the next pass of the event loop.
QImage ScopeView::GrabScopePanel() {
    ScopePanels& p = panels_;
    if (p.scope.panel == nullptr) {
        return {};
    }
    shell::Shell().ShowChild(shell::Child::Scope);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    p.scope.scope->replot(QCustomPlot::rpImmediateRefresh);
    p.scope.digital->replot(QCustomPlot::rpImmediateRefresh);
    return p.scope.panel->grab().toImage();
}

bool ScopeView::SelectPrinter(QPrinter& printer) {
    if (dialogHook_) {
        return dialogHook_(printer);
    }
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // Only the print-to-file choice is there: offer a file name with it,
        // in the user's documents folder (the home folder for a run from the
        // build folder).
        const std::string documents = shell::Shell().DocumentsDir();
        shell::Shell().PrepareFolderOf(documents);
        const QDir folder =
            documents.empty() ? QDir::home() : QDir(QString::fromStdString(documents));
        printer.setOutputFileName(folder.filePath(kDefaultPdfName));
    }
    QPrintDialog dialog(&printer, MainWindow());
    dialog.setWindowTitle("Print");
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

bool PrintReport(QPrinter& printer, const QImage& panelImage, const std::string& sensorId,
                 const std::string& comment) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const double width = painter.viewport().width();
    const double height = painter.viewport().height();
    const QFont body = ReportFont(kReportBodySize);
    const QFontMetricsF bodyMetrics(body, &printer);
    const double lineHeight = bodyMetrics.lineSpacing();

    // Page header: short date left, time in the middle, page n of m right,
    // a rule below.
    const double headerHeight = lineHeight * 2;
    const double bodyHeight = height - headerHeight;
    const QDateTime now = QDateTime::currentDateTime();
    const QString date = QLocale().toString(now.date(), QLocale::ShortFormat);
    const QString time = now.time().toString("HH:mm:ss");

    // Heights of the elements, then their pages.
    std::vector<Placed> placed;
    std::vector<double> heights;
    for (const ReportElement& e : ScopeReportContent(shell::kProgramTitle, sensorId, comment)) {
        Placed pl{e, lineHeight, 0};
        if (e.kind == ReportElement::Kind::Line) {
            const QFontMetricsF m(ReportFont(e.pointSize), &printer);
            const QRectF r =
                m.boundingRect(QRectF(0, 0, width, 1e9), Qt::TextWordWrap | Qt::AlignLeft,
                               QString::fromStdString(e.text));
            pl.height = std::max(r.height(), m.lineSpacing());
        } else if (e.kind == ReportElement::Kind::Image) {
            const double maxImage = bodyHeight - lineHeight * 1.5;
            double scale = width / std::max(1, panelImage.width());
            scale = std::min(scale, maxImage / std::max(1, panelImage.height()));
            pl.height = panelImage.height() * scale + lineHeight * 1.5;
        }
        placed.push_back(pl);
        heights.push_back(pl.height);
    }
    const std::vector<int> pages = PlaceOnPages(heights, bodyHeight);
    for (size_t i = 0; i < placed.size(); ++i) {
        placed[i].page = pages[i];
    }
    const int pageCount = pages.empty() ? 1 : pages.back() + 1;

    bool ok = true;
    size_t next = 0;
    for (int page = 0; page < pageCount && ok; ++page) {
        if (page > 0) {
            ok = printer.newPage();
        }
        painter.setFont(body);
        painter.setPen(Qt::black);
        const QRectF headerLine(0, 0, width, lineHeight);
        painter.drawText(headerLine, Qt::AlignLeft | Qt::AlignVCenter, date);
        painter.drawText(headerLine, Qt::AlignHCenter | Qt::AlignVCenter, time);
        painter.drawText(headerLine, Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(PageNofM(page + 1, pageCount)));
        painter.drawLine(QPointF(0, lineHeight * 1.4), QPointF(width, lineHeight * 1.4));
        double y = headerHeight;
        for (; next < placed.size() && placed[next].page == page; ++next) {
            const Placed& pl = placed[next];
            if (pl.element.kind == ReportElement::Kind::Line) {
                painter.setFont(ReportFont(pl.element.pointSize));
                painter.drawText(QRectF(0, y, width, pl.height), Qt::TextWordWrap | Qt::AlignLeft,
                                 QString::fromStdString(pl.element.text));
            } else if (pl.element.kind == ReportElement::Kind::Image) {
                const double imageHeight = pl.height - lineHeight * 1.5;
                const double imageWidth =
                    imageHeight * panelImage.width() / std::max(1, panelImage.height());
                const QRectF target((width - imageWidth) / 2, y, imageWidth, imageHeight);
                painter.drawImage(target, panelImage);
                painter.setPen(Qt::black);
                painter.drawRect(target);
                painter.setFont(body);
                painter.drawText(QRectF(0, y + imageHeight + lineHeight * 0.25, width, lineHeight),
                                 Qt::AlignHCenter, QString::fromStdString(pl.element.text));
            }
            y += pl.height;
        }
    }
    return painter.end() && ok;
}

void ScopeView::PrintScopeGraph() {
    ScopePanels& p = panels_;
    const QImage image = GrabScopePanel();
    if (image.isNull()) {
        platform::MessagePopup(kTitleError, kTextNoReport);
        return;
    }
    const std::string sensorId = shell::Shell().PanelId();
    const std::string comment = p.scopePage.comment->toPlainText().toStdString();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(kReportTitle);
    if (!SelectPrinter(printer)) {
        return; // cancelled: nothing printed, nothing shown
    }
    const bool toFile =
        printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    const bool ok = toFile ? PrintIntoPdfFile(printer, image, sensorId, comment)
                           : PrintReport(printer, image, sensorId, comment);
    platform::MessagePopup(kTitleInfo, ok ? kTextPrinted : kTextPrintError);
}

} // namespace scope
