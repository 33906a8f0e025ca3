#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>

#include "storage/project_io.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QSpinBox;
class QTableWidget;

// File Import's preview, shown before anything is added: the file's first rows split into
// columns under their header names, the date and value columns (changeable here), the first
// dates and values as they will be read, and what the import would keep and leave out. OK
// imports with the columns shown; Cancel adds nothing. The decimal mark and the date order may
// be chosen when the file does not tell them; an import refused for the rows it leaves out can
// be taken anyway by ticking "Import anyway".
class CImportDialog : public QDialog {
  public:
    // Starts from the given columns (from 1) and reads the file for the preview.
    CImportDialog(const QString& path, int32_t datesColumn, int32_t valuesColumn,
                  QWidget* parent = nullptr);
    CImportDialog(const QString& path, const CImportChoices& choices, QWidget* parent = nullptr);

    int32_t DatesColumn() const;
    int32_t ValuesColumn() const;
    // Everything chosen: the columns, the decimal mark, the date order, "import anyway".
    CImportChoices Choices() const;
    // The preview of the columns shown; its report counts the whole file.
    const CImportPreview& Preview() const { return m_preview; }

  private:
    // Reads the file again with the columns of the spin boxes and shows the result.
    void Refresh();
    void ShowRows();
    void ShowPoints();
    void ShowReport();

    std::string m_path;
    CImportPreview m_preview;
    CStatus m_status = CStatus::Ok();
    QSpinBox* m_datesSpin;
    QSpinBox* m_valuesSpin;
    QComboBox* m_decimalMark;
    QComboBox* m_dateOrder;
    QCheckBox* m_anyway;
    QTableWidget* m_rows;
    QTableWidget* m_points;
    QLabel* m_report;
    QDialogButtonBox* m_buttons;
};

// The report in words for the preview: what is kept, what is left out and why, and how the
// file was read ("Fields separated by commas, decimal point, dates month first (a guess)").
QString ImportReportText(const CImportReport& report);
