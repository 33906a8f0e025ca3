#include "ui/import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>

#include <fstream>

#include "ui_fixture.h"

namespace {

class ImportDialogTest : public UiTest {
  protected:
    static std::string WriteRaw(const std::string& name, const std::string& text) {
        const std::string path = (Scratch() / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

const char* kExport =
    "Date,Open,High,Low,Close,Adj Close,Volume\n"
    "2020-01-02,3244.67,3258.14,3235.53,3257.85,3257.85,3458250000\n"
    "2020-01-03,3226.36,3246.15,3222.34,3234.85,3234.85,3461290000\n";

// The preview shows the rows under their headers, the chosen columns, the first points as
// read and the counts; changing a column reads the file again.
TEST_F(ImportDialogTest, ShowsTheFileAsItWillBeReadAndFollowsTheColumns) {
    CImportDialog dialog(QString::fromStdString(WriteRaw("spx.csv", kExport)), 1, 5);
    auto* rows = dialog.findChild<QTableWidget*>("rows");
    ASSERT_EQ(rows->columnCount(), 7);
    EXPECT_EQ(rows->horizontalHeaderItem(4)->text(), "5: Close");
    EXPECT_EQ(rows->item(0, 4)->text(), "3257.85");
    auto* points = dialog.findChild<QTableWidget*>("points");
    ASSERT_EQ(points->rowCount(), 2);
    EXPECT_EQ(points->item(0, 0)->text() + " " + points->item(0, 1)->text(), "1/2/2020 3257.85000");
    auto* report = dialog.findChild<QLabel*>("report");
    EXPECT_TRUE(report->text().startsWith("2 points from 3 lines; 1 line without a date"))
        << report->text().toStdString();
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_TRUE(ok->isEnabled());

    auto* values = dialog.findChild<QSpinBox*>("valuesColumn");
    values->setValue(2);
    EXPECT_EQ(points->item(0, 1)->text(), "3244.67000");
    EXPECT_EQ(dialog.ValuesColumn(), 2);
    values->setValue(9);  // no such column: no point
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(report->text().contains("gives no point"));
    EXPECT_TRUE(ok->toolTip().contains("gives no point"));  // a disabled OK says why
}

// A file refused for the rows it leaves out can be taken anyway; an undecided decimal mark
// must be chosen first.
TEST_F(ImportDialogTest, ImportAnywayAndTheDecimalMark) {
    CImportDialog fund(
        QString::fromStdString(WriteRaw("fund.csv",
                                        "Date,Close\n2024-01-02,null\n2024-01-03,null\n"
                                        "2024-01-04,10.12\n")),
        1, 2);
    QPushButton* ok = fund.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    auto* anyway = fund.findChild<QCheckBox*>("importAnyway");
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_TRUE(anyway->isEnabled());
    EXPECT_TRUE(fund.findChild<QLabel*>("report")->text().contains("2 of 3 dated rows"));
    anyway->setChecked(true);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(fund.Choices().allowPartial);

    CImportDialog yields(QString::fromStdString(WriteRaw(
                             "yields.csv", "Datum;Rendite\n02.01.2024;2.035\n03.01.2024;2.012\n")),
                         1, 2);
    ok = yields.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_FALSE(ok->toolTip().isEmpty());
    EXPECT_FALSE(yields.findChild<QCheckBox*>("importAnyway")->isEnabled());
    yields.findChild<QComboBox*>("decimalMark")->setCurrentIndex(1);  // a point
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_TRUE(ok->toolTip().isEmpty());
    auto* points = yields.findChild<QTableWidget*>("points");
    EXPECT_EQ(points->item(0, 1)->text(), "2.03500");
    EXPECT_EQ(yields.Choices().decimalMark, '.');
}

// File Import takes the preview's columns (they become the Data page's), states the report
// in the status bar, and an import that gives no point adds nothing and says why.
TEST_F(ImportDialogTest, FileImportUsesThePreviewsColumnsAndReports) {
    Start();
    App().SetImportPreview([](const QString&, CImportChoices& choices) {
        choices.datesColumn = 1;
        choices.valuesColumn = 5;
        return true;
    });
    Run("&Import...", WriteRaw("spx.csv", kExport));
    ASSERT_EQ(Project().DataSetCount(), 1);
    EXPECT_EQ(Project().Current()->Points().back().GetValue(Raw), 3234.85);
    EXPECT_EQ(App().Commands().m_valsInCol, 5);
    EXPECT_TRUE(Frame()->statusBar()->currentMessage().startsWith("SPX: 2 points"))
        << Frame()->statusBar()->currentMessage().toStdString();

    Run("&Import...", WriteRaw("empty.csv", "Date,Close\n"));
    EXPECT_EQ(Project().DataSetCount(), 1);
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_EQ(m_errors[0].substr(0, 19), "File Not Imported.\n");

    App().SetImportPreview([](const QString&, CImportChoices&) { return false; });
    Run("&Import...", WriteRaw("more.csv", kExport));  // cancelled in the preview
    EXPECT_EQ(Project().DataSetCount(), 1);
}

}  // namespace
