#include "ui/pages/info_page.h"

#include <QLineEdit>

#include "model/project.h"
#include "storage/text_out.h"
#include "ui/figure_text.h"
#include "ui/pages/dialog_template.h"

CInfoPage::CInfoPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : CProjectPage(commands, frame, parent) {
    const CDialogTemplate t(this);
    t.Group("Potential Gain (% / Year)", 0, 0, 150, 65);
    t.Static("Max", 55, 13, 40, 8, true);
    t.Static("Min", 100, 13, 40, 8, true);
    t.Static("Raw Data", 10, 25, 40, 8);
    t.Static("Median", 10, 41, 40, 8);
    m_figureEdits[RawRises] = t.Edit("rawRises", 55, 23, 40, 12);
    m_figureEdits[RawFalls] = t.Edit("rawFalls", 100, 23, 40, 12);
    m_figureEdits[SmoothRises] = t.Edit("smoothRises", 55, 39, 40, 12);
    m_figureEdits[SmoothFalls] = t.Edit("smoothFalls", 100, 39, 40, 12);
    for (QLineEdit* edit : m_figureEdits) {
        edit->setReadOnly(true);
    }

    t.Group("Notes", 160, 0, 250, 65);
    t.Static("Comment:", 170, 20, 40, 8);
    m_commentEdit = t.Edit("comment", 215, 18, 185, 12);
    t.Static("Currency:", 170, 38, 40, 8);
    m_currencyEdit = t.Edit("currency", 215, 36, 50, 12);
    m_commentEdit->setAlignment(Qt::AlignLeft);
    m_currencyEdit->setAlignment(Qt::AlignLeft);

    setTabOrder(m_commentEdit, m_currencyEdit);
    setTabOrder(m_currencyEdit, m_figureEdits[RawRises]);
    setTabOrder(m_figureEdits[RawRises], m_figureEdits[RawFalls]);
    setTabOrder(m_figureEdits[RawFalls], m_figureEdits[SmoothRises]);
    setTabOrder(m_figureEdits[SmoothRises], m_figureEdits[SmoothFalls]);
    ShowFields();
}

void CInfoPage::LoadFields() {
    // The notes may hold edits not yet stored; only the figures follow the project here.
    TakeFigures();
    for (size_t i = 0; i < m_figures.size(); ++i) {
        m_figureEdits[i]->setText(PercentText(m_figures[i]));
    }
}

void CInfoPage::TakeFigures() {
    const CDataSet& current = *m_project.Current();
    for (size_t i = 0; i < m_figures.size(); ++i) {
        m_figures[i] = current.m_gains[i];
    }
}

void CInfoPage::OnCurrentChanged() {
    const CDataSet& current = *m_project.Current();
    TakeFigures();
    m_currency = QString::fromStdString(current.m_currency);
    m_comment = QString::fromStdString(current.m_comment);
    ShowFields();
}

bool CInfoPage::StoreFields() {
    m_comment = m_commentEdit->text();
    m_currency = m_currencyEdit->text();
    CDataSet& current = *m_project.Current();
    current.m_currency = SanitiseQuotedText(m_currency.toStdString());
    current.m_comment = SanitiseQuotedText(m_comment.toStdString());
    return true;
}

void CInfoPage::ClearFields() {
    m_comment.clear();
    m_currency.clear();
    m_figures.fill(0.0);
    ShowFields();
}

void CInfoPage::ShowFields() {
    m_commentEdit->setText(m_comment);
    m_currencyEdit->setText(m_currency);
    for (size_t i = 0; i < m_figures.size(); ++i) {
        m_figureEdits[i]->setText(PercentText(m_figures[i]));
    }
}
