// The scope printout rendered into a PDF through the print-dialog test hook:
// its text (pdftotext) holds the header and the lines in order, with and
// without identification and comment; cancelling prints and shows nothing;
// a print that fails says so and leaves no file behind.
#include "scope/scope_print.h"
#include "tests/scope/scope_fixture.h"

#include <QDate>
#include <QLocale>
#include <QPrinter>

#include <cstdio>
#include <filesystem>
#include <fstream>

using app::P;
namespace fs = std::filesystem;

namespace {

class ScopePrint : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        StartOn(false);
        sensor_->Command("scene color 1000 2000 3000");
        SetScope(scope::kSingleShot, 0, 0);
        Scan();
        ASSERT_TRUE(plotted_);
        reports_ = dir_ + "/reports";
        fs::create_directories(reports_);
        pdf_ = reports_ + "/report.pdf";
    }
    // The dialog "chooses" print-to-file into `path`.
    void PrintInto(const std::string& path) {
        dialogShown_ = 0;
        View().SetPrintDialogHook([this, path](QPrinter& printer) {
            ++dialogShown_;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(path));
            return true;
        });
        user_->Clear();
        P().scopePage.print->click();
    }
    static std::string PdfText(const std::string& path) {
        std::string text;
        FILE* f = ::popen(("pdftotext -layout '" + path + "' - 2>&1").c_str(), "r");
        if (f == nullptr) {
            return text;
        }
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) {
            text.append(buf, n);
        }
        ::pclose(f);
        return text;
    }
    // True when the lines appear in `text` in this order.
    static ::testing::AssertionResult InOrder(const std::string& text,
                                              const std::vector<std::string>& lines) {
        size_t at = 0;
        for (const std::string& l : lines) {
            const size_t found = text.find(l, at);
            if (found == std::string::npos) {
                return ::testing::AssertionFailure()
                       << "\"" << l << "\" missing after offset " << at << " in:\n"
                       << text;
            }
            at = found + l.size();
        }
        return ::testing::AssertionSuccess();
    }
    size_t FilesInReports() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(reports_), {}));
    }

    std::string reports_;
    std::string pdf_;
    int dialogShown_ = 0;
};

} // namespace

TEST_F(ScopePrint, ReportWithIdentificationAndComment) {
    P().connect.id->SetText("LINE 3 / STATION 7");
    P().scopePage.comment->setPlainText("Belt speed 2 m/s\nafter cleaning");
    PrintInto(pdf_);
    EXPECT_EQ(1, dialogShown_);
    EXPECT_EQ("Print successful!", user_->LastText("Info!"));
    ASSERT_TRUE(fs::exists(pdf_));
    // An ordinary file, not one private like a temporary file.
    EXPECT_NE(fs::perms::none, fs::status(pdf_).permissions() & fs::perms::others_read);
    const std::string text = PdfText(pdf_);
    const std::string date =
        QLocale().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
    EXPECT_TRUE(InOrder(text, {date, "page 1 of 1", "Scope Screen Shot", "CHROMIK3 Scope V4.3",
                               "PANEL ID: LINE 3 / STATION 7", "COMMENT:", "Belt speed 2 m/s",
                               "after cleaning", "Panel"}));
    EXPECT_EQ(std::string::npos, text.find("page 2"));
}

TEST_F(ScopePrint, ReportWithoutIdentificationOrComment) {
    P().connect.id->SetText("");
    P().scopePage.comment->clear();
    PrintInto(pdf_);
    EXPECT_EQ("Print successful!", user_->LastText("Info!"));
    const std::string text = PdfText(pdf_);
    EXPECT_TRUE(
        InOrder(text, {"page 1 of 1", "Scope Screen Shot", "CHROMIK3 Scope V4.3", "Panel"}));
    EXPECT_EQ(std::string::npos, text.find("PANEL ID"));
    EXPECT_EQ(std::string::npos, text.find("COMMENT"));
}

TEST_F(ScopePrint, CancelledDialogPrintsAndShowsNothing) {
    int shown = 0;
    View().SetPrintDialogHook([&](QPrinter& printer) {
        ++shown;
        printer.setOutputFileName(QString::fromStdString(pdf_));
        return false;
    });
    user_->Clear();
    const size_t files = FilesInReports();
    P().scopePage.print->click();
    EXPECT_EQ(1, shown);
    EXPECT_TRUE(user_->Records().empty());
    EXPECT_EQ(files, FilesInReports());
}

TEST_F(ScopePrint, FailedPrintSaysSoAndLeavesNoFile) {
    // The report cannot take the place of a directory of that name: the
    // print is reported as failed and its temporary file is gone.
    fs::create_directories(pdf_);
    PrintInto(pdf_);
    EXPECT_EQ("Print error ", user_->LastText("Info!"));
    EXPECT_TRUE(fs::is_directory(pdf_));
    EXPECT_EQ(1u, FilesInReports());

    PrintInto(reports_ + "/no/such/dir/report.pdf");
    EXPECT_EQ("Print error ", user_->LastText("Info!"));
    EXPECT_EQ(1u, FilesInReports());
}

TEST_F(ScopePrint, AnExistingReportIsReplacedWhole) {
    std::ofstream(pdf_) << "old";
    PrintInto(pdf_);
    EXPECT_EQ("Print successful!", user_->LastText("Info!"));
    EXPECT_TRUE(InOrder(PdfText(pdf_), {"Scope Screen Shot", "Panel"}));
    EXPECT_EQ(1u, FilesInReports());
}
