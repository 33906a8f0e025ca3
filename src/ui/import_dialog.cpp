#include "ui/import_dialog.h"

#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kMostColumns = 999;

QString Count(int64_t n, const char* one, const char* many) {
    return QStringLiteral("%L1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

QString Lines(const CImportReason& reason) {
    QStringList numbers;
    for (int64_t line : reason.lines) {
        numbers << QString::number(line);
    }
    if (reason.count > static_cast<int64_t>(reason.lines.size())) {
        numbers << QStringLiteral("...");
    }
    return QStringLiteral(" (line%1 %2)")
        .arg(reason.lines.size() == 1 && reason.count == 1 ? "" : "s")
        .arg(numbers.join(QStringLiteral(", ")));
}

QSpinBox* ColumnSpin(QWidget* parent, const char* name, int32_t value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(1, kMostColumns);
    spin->setValue(std::clamp<int32_t>(value, 1, kMostColumns));
    return spin;
}

QTableWidget* Table(QWidget* parent, const char* name) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->verticalHeader()->setVisible(false);
    return table;
}

}  // namespace

QString ImportReportText(const CImportReport& report) {
    QStringList parts;
    parts << Count(report.points, "point", "points") + QStringLiteral(" from ") +
                 Count(report.lines, "line", "lines");
    const std::pair<const CImportReason*, std::pair<const char*, const char*>> reasons[] = {
        {&report.noDate,
         {"line without a date (a header or a note)", "lines without a date (headers or notes)"}},
        {&report.badDate, {"date that is no calendar day", "dates that are no calendar day"}},
        {&report.badMonth, {"month name not known", "month names not known"}},
        {&report.badValue, {"value not a number", "values not a number"}},
        {&report.merged, {"row merged into its day's last", "rows merged into their day's last"}},
        {&report.outOfOrder, {"date repeated or out of order", "dates repeated or out of order"}}};
    for (const auto& [reason, words] : reasons) {
        if (reason->count > 0) {
            parts << Count(reason->count, words.first, words.second) + Lines(*reason);
        }
    }
    QString how = QString::fromStdString(report.HowRead());
    how[0] = how[0].toUpper();
    return parts.join(QStringLiteral("; ")) + QStringLiteral(".\n") + how + QStringLiteral(".");
}

namespace {

CImportChoices Columns(int32_t datesColumn, int32_t valuesColumn) {
    CImportChoices choices;
    choices.datesColumn = datesColumn;
    choices.valuesColumn = valuesColumn;
    return choices;
}

QComboBox* ChoiceBox(QWidget* parent, const char* name, const QStringList& items, int current) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setCurrentIndex(std::clamp(current, 0, static_cast<int>(items.size()) - 1));
    return box;
}

}  // namespace

CImportDialog::CImportDialog(const QString& path, int32_t datesColumn, int32_t valuesColumn,
                             QWidget* parent)
    : CImportDialog(path, Columns(datesColumn, valuesColumn), parent) {}

CImportDialog::CImportDialog(const QString& path, const CImportChoices& choices, QWidget* parent)
    : QDialog(parent), m_path(path.toStdString()) {
    const int32_t datesColumn = choices.datesColumn;
    const int32_t valuesColumn = choices.valuesColumn;
    setWindowTitle(QStringLiteral("Import - ") + QFileInfo(path).fileName());
    auto* layout = new QVBoxLayout(this);

    auto* columns = new QHBoxLayout;
    auto* form = new QFormLayout;
    m_datesSpin = ColumnSpin(this, "datesColumn", datesColumn);
    m_valuesSpin = ColumnSpin(this, "valuesColumn", valuesColumn);
    m_datesSpin->setToolTip(QStringLiteral("The column of the dates, from 1"));
    m_valuesSpin->setToolTip(QStringLiteral("The column of the values, from 1"));
    form->addRow(QStringLiteral("&Dates in column"), m_datesSpin);
    form->addRow(QStringLiteral("&Values in column"), m_valuesSpin);
    m_decimalMark = ChoiceBox(this, "decimalMark",
                              {QStringLiteral("From the file"), QStringLiteral("Point (1,234.56)"),
                               QStringLiteral("Comma (1.234,56)")},
                              choices.decimalMark == '.'   ? 1
                              : choices.decimalMark == ',' ? 2
                                                           : 0);
    m_dateOrder = ChoiceBox(this, "dateOrder",
                            {QStringLiteral("From the file"), QStringLiteral("Day first"),
                             QStringLiteral("Month first"), QStringLiteral("Year first")},
                            choices.dateOrder + 1);
    form->addRow(QStringLiteral("Decimal &mark"), m_decimalMark);
    form->addRow(QStringLiteral("Date &order"), m_dateOrder);
    m_anyway = new QCheckBox(QStringLiteral("Import &anyway"), this);
    m_anyway->setObjectName(QStringLiteral("importAnyway"));
    m_anyway->setToolTip(QStringLiteral("Take the points read though many rows gave none"));
    m_anyway->setChecked(choices.allowPartial);
    form->addRow(QString(), m_anyway);
    columns->addLayout(form);
    m_report = new QLabel(this);
    m_report->setObjectName(QStringLiteral("report"));
    m_report->setWordWrap(true);
    columns->addWidget(m_report, 1);
    layout->addLayout(columns);

    layout->addWidget(new QLabel(QStringLiteral("The file's first rows:"), this));
    m_rows = Table(this, "rows");
    layout->addWidget(m_rows, 3);
    layout->addWidget(new QLabel(QStringLiteral("The first points as they will be read:"), this));
    m_points = Table(this, "points");
    layout->addWidget(m_points, 2);

    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_datesSpin, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(m_valuesSpin, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(m_decimalMark, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_dateOrder, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_anyway, &QCheckBox::toggled, this, [this] { ShowReport(); });
    resize(760, 560);
    Refresh();
}

int32_t CImportDialog::DatesColumn() const {
    return m_datesSpin->value();
}

int32_t CImportDialog::ValuesColumn() const {
    return m_valuesSpin->value();
}

CImportChoices CImportDialog::Choices() const {
    CImportChoices choices = Columns(DatesColumn(), ValuesColumn());
    static constexpr char kMarks[] = {0, '.', ','};
    choices.decimalMark = kMarks[std::clamp(m_decimalMark->currentIndex(), 0, 2)];
    choices.dateOrder = m_dateOrder->currentIndex() - 1;
    choices.allowPartial = m_anyway->isChecked();
    return choices;
}

void CImportDialog::Refresh() {
    m_preview = CImportPreview();
    m_status = PreviewRawFile(m_path, Choices(), m_preview);
    ShowRows();
    ShowPoints();
    ShowReport();
}

void CImportDialog::ShowRows() {
    size_t width = m_preview.headers.size();
    for (const auto& row : m_preview.rows) {
        width = std::max(width, row.size());
    }
    m_rows->clear();
    m_rows->setColumnCount(static_cast<int>(width));
    m_rows->setRowCount(static_cast<int>(m_preview.rows.size()));
    QStringList headers;
    for (size_t c = 0; c < width; ++c) {
        const QString name =
            c < m_preview.headers.size() ? QString::fromStdString(m_preview.headers[c]) : QString();
        headers << QStringLiteral("%1: %2").arg(c + 1).arg(name);
    }
    m_rows->setHorizontalHeaderLabels(headers);
    const QBrush chosen = palette().brush(QPalette::Highlight);
    const QBrush chosenText = palette().brush(QPalette::HighlightedText);
    for (size_t r = 0; r < m_preview.rows.size(); ++r) {
        for (size_t c = 0; c < m_preview.rows[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(m_preview.rows[r][c]));
            const int column = static_cast<int>(c) + 1;
            if (column == DatesColumn() || column == ValuesColumn()) {
                item->setBackground(chosen);
                item->setForeground(chosenText);
            }
            m_rows->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    m_rows->resizeColumnsToContents();
}

void CImportDialog::ShowPoints() {
    m_points->clear();
    m_points->setColumnCount(2);
    m_points->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Value")});
    m_points->setRowCount(static_cast<int>(m_preview.firstPoints.size()));
    for (size_t r = 0; r < m_preview.firstPoints.size(); ++r) {
        const auto& [date, value] = m_preview.firstPoints[r];
        m_points->setItem(static_cast<int>(r), 0,
                          new QTableWidgetItem(QString::fromStdString(date)));
        m_points->setItem(static_cast<int>(r), 1,
                          new QTableWidgetItem(QString::fromStdString(value)));
    }
    m_points->horizontalHeader()->setStretchLastSection(true);
}

void CImportDialog::ShowReport() {
    QPushButton* ok = m_buttons->button(QDialogButtonBox::Ok);
    if (!m_status) {
        m_report->setText(QString::fromStdString(m_status.Reason()));
        ok->setEnabled(false);
        ok->setToolTip(m_report->text());
        return;
    }
    const CImportReport& report = m_preview.report;
    QString text = ImportReportText(report);
    if (report.points == 0) {
        text += QStringLiteral("\nWith these columns the file gives no point.");
    }
    const bool refused = !report.refusal.empty() && report.points > 0;
    if (refused) {
        text +=
            QStringLiteral("\nNot imported as it stands: ") +
            QString::fromStdString(report.refusal) +
            (report.mayForce ? QStringLiteral(" (or tick Import anyway).") : QStringLiteral("."));
    }
    m_anyway->setEnabled(refused && report.mayForce);
    m_report->setText(text);
    ok->setEnabled(report.points > 0 && (!refused || (report.mayForce && m_anyway->isChecked())));
    // A disabled OK says why where the mouse is.
    ok->setToolTip(ok->isEnabled() ? QString() : text.trimmed());
    m_anyway->setToolTip(m_anyway->isEnabled()
                             ? QString()
                             : QStringLiteral("Only for a file refused for the rows it left out"));
}
