// The table-attributes page: manual and automatic colour mode, the colour
// picker, save and load with their questions and reports, reset, and the
// row sections of the panel-settings file across a restart.
#include "app/panel_settings.h"
#include "app/panels.h"
#include "params/parameter_model.h"
#include "params/row_palette.h"
#include "platform/graph.h"
#include "platform/widgets.h"
#include "tests/support/file_bytes.h"
#include "tests/teach/teach_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using app::P;
using platform::PopupKind;

namespace {

constexpr const char* kNotRead = "Following teach vectors could not be read \nand where set to "
                                 "default value:\n\n";

class AttributesTest : public TeachFixture {
protected:
    std::string File(const char* name) const { return dir_ + "/" + name; }
    // The colour of row r as all four tables and the model hold it; 0xFFFFFFFF
    // when they disagree.
    static uint32_t ColourOfRow(int r) {
        app::Panels& p = P();
        const uint32_t c = app::P().sensor.model.RowColour(r);
        const bool same = p.teachPage.grid->CellBackground(r + 1, 6) == c &&
                          p.attributes.table->CellBackground(r + 1, 2) == c &&
                          p.groupHold.groupTable->CellBackground(r + 1, 2) == c &&
                          p.groupHold.holdTable->CellBackground(r + 2, 2) == c;
        return same ? c : 0xFFFFFFFFu;
    }
    static void SetRowColourByHand(int row, uint32_t colour) {
        teach::AttributesPage& a = P().attributes;
        a.row->SetVal(row);
        a.color->SetColor(colour);
        a.setColor->click();
    }
    // Answers the next file dialog with `path`.
    void ChooseFile(const std::string& path) { user_->Answer(1, path); }
    // Types `text` into the row-text editor of table row `row` (1-based) as
    // the user does, and commits what the editor took; returns that.
    static QString TypeRowText(int row, const QString& text) {
        ctl::U16Table* table = P().attributes.table;
        const QModelIndex cell = table->model()->index(row - 1, 0);
        QAbstractItemDelegate* delegate = table->itemDelegateForColumn(0);
        std::unique_ptr<QWidget> editor(delegate->createEditor(table->viewport(), {}, cell));
        auto* line = qobject_cast<QLineEdit*>(editor.get());
        if (line == nullptr) {
            return QStringLiteral("no line editor");
        }
        delegate->setEditorData(line, cell);
        line->selectAll();
        line->insert(text); // as typing or pasting does: through the editor's limit
        delegate->setModelData(line, table->model(), cell);
        return line->text();
    }
    static std::string Repeat(const std::string& piece, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) {
            s += piece;
        }
        return s;
    }
};

} // namespace

TEST_F(AttributesTest, ManualColourReachesTablesAndGraphsAndTheModeDimsTheControls) {
    teach::AttributesPage& a = P().attributes;
    // start: manual, colour patch of the data panel hidden
    EXPECT_EQ(0, a.colorMode->Val());
    EXPECT_TRUE(a.setColor->isEnabled());
    EXPECT_TRUE(P().data.colorPatch->isHidden());

    SetRowColourByHand(2, 0x00AA55);
    EXPECT_EQ(0x00AA55u, ColourOfRow(2));
    // the row's shape is drawn in its colour
    bool found = false;
    ctl::Graph* view = P().data.view[0];
    for (int i = 0; i < view->itemCount(); ++i) {
        if (auto* e = qobject_cast<QCPItemEllipse*>(view->item(i))) {
            found |= e->pen().color() == QColor(0x00, 0xAA, 0x55);
        }
    }
    EXPECT_TRUE(found);

    // the colour field asks the colour picker
    user_->Answer(1, "0x4080C0");
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(a.color, &press);
    EXPECT_EQ(1u, user_->Count(PopupKind::Color));
    EXPECT_EQ(0x4080C0u, a.color->Color());
    user_->Answer(0); // cancelled: the colour stays
    QApplication::sendEvent(a.color, &press);
    EXPECT_EQ(0x4080C0u, a.color->Color());

    // automatic: the three controls dimmed, the colour patch shown
    a.colorMode->SetVal(1);
    Views().Attributes().CBF_EditSetColor(nullptr, ctl::Event::Commit);
    EXPECT_FALSE(a.setColor->isEnabled());
    EXPECT_FALSE(a.row->isEnabled());
    EXPECT_FALSE(a.color->isEnabled());
    EXPECT_FALSE(P().data.colorPatch->isHidden());
    a.colorMode->SetVal(0);
    Views().Attributes().CBF_EditSetColor(nullptr, ctl::Event::Commit);
    EXPECT_TRUE(a.color->isEnabled());
    EXPECT_TRUE(P().data.colorPatch->isHidden());
}

TEST_F(AttributesTest, SaveResetLoadRoundTrip) {
    teach::AttributesPage& a = P().attributes;
    SetRowColourByHand(2, 0x00AA55);
    a.table->SetText(1, 1, "white cap");
    a.table->SetText(31, 1, QString(99, 'z'));
    const std::string path = File("attr.ini");
    ChooseFile(path);
    a.save->click();
    const auto& dialog = user_->Records().back();
    EXPECT_EQ(PopupKind::FileSelect, dialog.kind);
    EXPECT_EQ("TableAttributes", dialog.file.title);
    EXPECT_EQ("TableAttributes.ini", dialog.file.defaultName);
    EXPECT_EQ("*.ini", dialog.file.filter);
    EXPECT_EQ(path, app::Paths().tableAttributesFile);
    const std::string text = testfiles::ReadBytes(path);
    EXPECT_NE(std::string::npos, text.find("FILE TYPE: = \"Table Attributes\""));
    EXPECT_NE(std::string::npos, text.find("[TABLE ATTR OF TEACH VECTOR 2]\r\nRow color = 43605"));
    EXPECT_NE(std::string::npos, text.find("Row specification = \"white cap\""));

    // reset: palette in all tables, empty row texts
    user_->Answer(0);
    a.reset->click();
    EXPECT_EQ(0x00AA55u, ColourOfRow(2)); // declined
    a.reset->click();
    EXPECT_EQ("Do you really want to reset the table?", user_->LastText("ATTENTION!"));
    for (int r = 0; r < 31; ++r) {
        ASSERT_EQ(params::DefaultRowColour(r), ColourOfRow(r)) << r;
        ASSERT_TRUE(a.table->Text(r + 1, 1).isEmpty()) << r;
    }

    // load brings both back, without any report
    user_->Clear();
    ChooseFile(path);
    a.load->click();
    EXPECT_EQ(1u, user_->Records().size());
    EXPECT_EQ(0x00AA55u, ColourOfRow(2));
    EXPECT_EQ(params::DefaultRowColour(3), ColourOfRow(3));
    EXPECT_EQ("white cap", a.table->Text(1, 1).toStdString());
    EXPECT_EQ(QString(99, 'z'), a.table->Text(31, 1));
}

TEST_F(AttributesTest, NoFileChosenAndMissingColoursAreReported) {
    teach::AttributesPage& a = P().attributes;
    SetRowColourByHand(7, 0x010203);
    a.save->click(); // dialog cancelled
    EXPECT_EQ("No file was selected!", user_->LastText("ATTENTION!"));
    a.load->click();
    EXPECT_EQ("No file was selected!", user_->LastText("ATTENTION!"));
    ChooseFile(File("not-there.ini")); // a new name is no file to load
    a.load->click();
    EXPECT_EQ("No file was selected!", user_->LastText("ATTENTION!"));
    EXPECT_EQ(0x010203u, ColourOfRow(7));

    // row 7's section lacks its colour
    ChooseFile(File("attr.ini"));
    a.save->click();
    std::string text = testfiles::ReadBytes(File("attr.ini"));
    const std::string key = "[TABLE ATTR OF TEACH VECTOR 7]\r\nRow color = 66051\r\n";
    ASSERT_NE(std::string::npos, text.find(key));
    text.replace(text.find(key), key.size(), "[TABLE ATTR OF TEACH VECTOR 7]\r\n");
    testfiles::WriteBytes(File("attr.ini"), text);
    SetRowColourByHand(8, 0x0000FE);
    ChooseFile(File("attr.ini"));
    a.load->click();
    EXPECT_EQ(std::string(kNotRead) + "TABLE ATTR OF TEACH VECTOR 7\n",
              user_->LastText("Attention!"));
    EXPECT_EQ(0x800080u, ColourOfRow(7));
    EXPECT_EQ(params::DefaultRowColour(8), ColourOfRow(8)); // the other rows are applied
}

TEST_F(AttributesTest, ForeignFilesAskFirst) {
    teach::AttributesPage& a = P().attributes;
    testfiles::WriteBytes(File("Parameter.ini"),
                          "[GENERAL INFO]\r\nFILE TYPE: = \"Parameter File\"\r\n"
                          "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"\r\n\r\n"
                          "[PARAMETER]\r\nPOWER = 500\r\n");
    SetRowColourByHand(4, 0x0A0B0C);
    a.table->SetText(5, 1, "kept");
    ChooseFile(File("Parameter.ini"));
    user_->Answer(0); // no
    a.load->click();
    EXPECT_EQ("Selected file is not a table attributes file! \nDo you want to proceed anyway?",
              user_->Records()[user_->Records().size() - 2].text);
    EXPECT_EQ("No parameter where read!", user_->LastText("ATTENTION!"));
    EXPECT_EQ(0x0A0B0Cu, ColourOfRow(4));
    EXPECT_EQ("kept", a.table->Text(5, 1).toStdString());

    // yes: every row takes its default and an empty text, all 31 listed
    user_->Clear();
    ChooseFile(File("Parameter.ini"));
    a.load->click();
    EXPECT_EQ(params::DefaultRowColour(4), ColourOfRow(4));
    EXPECT_TRUE(a.table->Text(5, 1).isEmpty());
    const std::string report = user_->LastText("Attention!");
    EXPECT_EQ(0u, report.find(kNotRead));
    EXPECT_NE(std::string::npos, report.find("TABLE ATTR OF TEACH VECTOR 30\n"));
    EXPECT_EQ(31, std::count(report.begin(), report.end(), '\n') - 3);

    // another program version: the second question
    testfiles::WriteBytes(File("old.ini"), "[GENERAL INFO]\r\nFILE TYPE: = \"Table Attributes\"\r\n"
                                           "SCOPE VERSION: = \"CHROMIK3 Scope V4.2\"\r\n");
    SetRowColourByHand(4, 0x0A0B0C);
    ChooseFile(File("old.ini"));
    user_->Answer(0);
    a.load->click();
    EXPECT_EQ("Selected file and scope version do not match! \nDo you want to proceed anyway?",
              user_->Records()[user_->Records().size() - 2].text);
    EXPECT_EQ(0x0A0B0Cu, ColourOfRow(4));
}

TEST_F(AttributesTest, AFailedSaveIsReportedAndLeavesTheOldFile) {
    teach::AttributesPage& a = P().attributes;
    ChooseFile(File("missing-dir/attr.ini"));
    a.save->click();
    EXPECT_NE(std::string::npos,
              user_->LastText("ATTENTION!").find("The table attributes could not be saved"));
    EXPECT_FALSE(std::filesystem::exists(File("missing-dir/attr.ini")));
}

TEST_F(AttributesTest, RowSectionsSurviveCloseAndRestart) {
    teach::AttributesPage& a = P().attributes;
    SetRowColourByHand(0, 0x112233);
    SetRowColourByHand(30, 0x445566);
    a.table->SetText(3, 1, "blue \\ lid");
    CloseProgram();
    const std::string text = ReadSettingsText();
    EXPECT_NE(std::string::npos,
              text.find("[TABLE ATTR OF TEACH VECTOR 0]\r\nRow color = 1122867"));
    EXPECT_LT(text.find("[COMMUNICATION SETTINGS]"), text.find("[TABLE ATTR OF TEACH VECTOR 0]"));

    user_->Clear();
    StartProgram();
    EXPECT_EQ(0x112233u, ColourOfRow(0));
    EXPECT_EQ(0x445566u, ColourOfRow(30));
    EXPECT_EQ(params::DefaultRowColour(1), ColourOfRow(1));
    EXPECT_EQ("blue \\ lid", P().attributes.table->Text(3, 1).toStdString());
    EXPECT_EQ(0u, user_->Count(PopupKind::Message));

    // a bad colour in the settings file: the default, silently
    CloseProgram();
    std::string edited = ReadSettingsText();
    const std::string key = "Row color = 1122867";
    edited.replace(edited.find(key), key.size(), "Row color = 99999999");
    WriteSettingsText(edited);
    user_->Clear();
    StartProgram();
    EXPECT_EQ(params::DefaultRowColour(0), ColourOfRow(0));
    EXPECT_EQ(0x445566u, ColourOfRow(30));
    EXPECT_EQ(0u, user_->Count(PopupKind::Message));
}

// A table-attributes file from a Windows PC holds its row texts in
// Windows-1252: LOAD shows every letter, SAVE writes them back as they were
// (Windows-1252 where it fits, UTF-8 otherwise, never U+FFFD).
TEST_F(AttributesTest, WindowsCodePageRowTextsSurviveLoadAndSave) {
    teach::AttributesPage& a = P().attributes;
    std::string file = "[GENERAL INFO]\r\nFILE TYPE: = \"Table Attributes\"\r\n"
                       "SCOPE VERSION: = \"CHROMIK3 Scope V4.3\"\r\n\r\n";
    const std::string texts[] = {
        "Gr\xFCn gl\xE4nzend", // u and a umlaut
        "\x84"
        "Deckel\x93 \x96 5 \x80 \xDF",   // quotes, en dash, euro, sharp s
        "\x81\x8D\x8F\x90\x9D",          // undefined in Windows-1252
        "Gr\xC3\xBCn \xE2\x86\x92 blau", // UTF-8 with an arrow
    };
    for (int r = 0; r < 31; ++r) {
        file += "[TABLE ATTR OF TEACH VECTOR " + std::to_string(r) +
                "]\r\nRow color = " + std::to_string(params::DefaultRowColour(r)) + "\r\n";
        if (r < 4) {
            file += "Row specification = \"" + texts[r] + "\"\r\n";
        }
        file += "\r\n";
    }
    testfiles::WriteBytes(File("windows.ini"), file);
    ChooseFile(File("windows.ini"));
    a.load->click();
    EXPECT_EQ(0u, user_->Count(PopupKind::Message) + user_->Count(PopupKind::Confirm));
    EXPECT_EQ(QString::fromUtf8("Gr\xC3\xBCn gl\xC3\xA4nzend"), a.table->Text(1, 1));
    EXPECT_EQ(QString::fromUtf8("\xE2\x80\x9E"
                                "Deckel\xE2\x80\x9C \xE2\x80\x93 5 \xE2\x82\xAC \xC3\x9F"),
              a.table->Text(2, 1));
    EXPECT_EQ(QString::fromUtf8("\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"), a.table->Text(3, 1));
    EXPECT_EQ(QString::fromUtf8("Gr\xC3\xBCn \xE2\x86\x92 blau"), a.table->Text(4, 1));

    ChooseFile(File("saved.ini"));
    a.save->click();
    const std::string bytes = testfiles::ReadBytes(File("saved.ini"));
    for (const std::string& t : texts) {
        EXPECT_NE(std::string::npos, bytes.find("Row specification = \"" + t + "\"\r\n")) << t;
    }
    EXPECT_EQ(std::string::npos, bytes.find("\xEF\xBF\xBD")) << "a replacement character";
}

// The editor, the writer and the reader count a row text's 99 characters
// alike: a text the editor takes (60 u-umlauts, 99 characters beyond the
// BMP) survives SAVE, LOAD, close and start unchanged.
TEST_F(AttributesTest, ARowTextTheEditorTakesSurvivesSaveLoadCloseAndStart) {
    teach::AttributesPage& a = P().attributes;
    const QString umlauts(60, QChar(0xFC));
    EXPECT_EQ(umlauts, TypeRowText(3, umlauts));
    EXPECT_EQ(umlauts, a.table->Text(3, 1));
    // the limit is 99 characters, whatever the letters
    EXPECT_EQ(QString(99, QChar(0xFC)), TypeRowText(4, QString(120, QChar(0xFC))));
    const QString smiles = QString::fromStdString(Repeat("\xF0\x9F\x98\x80", 99));
    ASSERT_EQ(198, smiles.size()); // 99 characters, 198 UTF-16 units
    EXPECT_EQ(smiles, TypeRowText(5, smiles + smiles));
    EXPECT_EQ(QString(99, QChar('z')), TypeRowText(6, QString(150, QChar('z'))));

    // The page is looked up afresh: a restart builds new panels.
    const auto expectTexts = [&](const char* when) {
        SCOPED_TRACE(when);
        const teach::AttributesPage& now = P().attributes;
        EXPECT_EQ(umlauts, now.table->Text(3, 1));
        EXPECT_EQ(QString(99, QChar(0xFC)), now.table->Text(4, 1));
        EXPECT_EQ(smiles, now.table->Text(5, 1));
        EXPECT_EQ(QString(99, QChar('z')), now.table->Text(6, 1));
    };

    ChooseFile(File("attr.ini"));
    a.save->click();
    const std::string bytes = testfiles::ReadBytes(File("attr.ini"));
    EXPECT_NE(std::string::npos,
              bytes.find("Row specification = \"" + std::string(60, '\xFC') + "\"\r\n"));
    a.reset->click();
    ASSERT_TRUE(a.table->Text(3, 1).isEmpty());
    ChooseFile(File("attr.ini"));
    a.load->click();
    expectTexts("after LOAD");

    CloseProgram();
    EXPECT_NE(std::string::npos, ReadSettingsText().find("Row specification = \"" +
                                                         std::string(60, '\xFC') + "\"\r\n"));
    user_->Clear();
    StartProgram();
    expectTexts("after close and start");
}
