#pragma once

#include <QWidget>

#include <cstdint>

class CDataSet;
class CMainFrame;
class CProject;
class CProjectCommands;
class QTreeWidget;
class QTreeWidgetItem;

// The left column's navigation: the data set tree, which lists the project's data sets (the
// first under "Primary", the others under "Secondary") and chooses the current one, and the
// page tree, which chooses the page the sheet shows.
//
// Every item carries one value in its data: -1 for a group item, the page index for a page
// item, the data set (borrowed from the project) for a data set item.
class CNavigationDialog : public QWidget {
  public:
    // Builds both trees and selects "Info", which switches the frame's sheet to the Info page.
    // REQUIRES: the frame's sheet holds its pages. The commands (with their project) and the
    // frame outlive the dialog.
    CNavigationDialog(CProjectCommands& commands, CMainFrame& frame, QWidget* parent = nullptr);

    QTreeWidget* DataSetTree() const { return m_dataSetTree; }
    QTreeWidget* PageTree() const { return m_pageTree; }
    QTreeWidgetItem* PrimaryNode() const { return m_primaryNode; }
    QTreeWidgetItem* SecondaryNode() const { return m_secondaryNode; }

    // The data set of an item of the data set tree, or null for a group item.
    static CDataSet* DataSetOf(const QTreeWidgetItem* item);
    // The value an item carries (-1 for a group, a page index, or a data set's address).
    static int64_t ItemData(const QTreeWidgetItem* item);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void customEvent(QEvent* event) override;

  private:
    bool IsListed(const CDataSet* ds) const;
    // Returns the "Info" item.
    QTreeWidgetItem* BuildPageTree();
    void BuildDataSetTree();
    void RebuildDataSets();
    void OnPageSelected();
    void OnDataSetSelected();
    // Selects the item of `ds` without running a command.
    void SelectItemOf(const CDataSet* ds);

    QTreeWidgetItem* m_primaryNode = nullptr;
    QTreeWidgetItem* m_secondaryNode = nullptr;
    // False while the data set tree is rebuilt: its selection changes do not touch the project.
    bool m_ready = true;
    // The data set whose selection was handled last: the one the pages show; null after a new
    // project. Compared only, never dereferenced, since it may have been deleted.
    const CDataSet* m_shown = nullptr;
    CProjectCommands& m_commands;
    CProject& m_project;
    CMainFrame& m_frame;
    QTreeWidgetItem* m_controlsNode = nullptr;
    QTreeWidgetItem* m_datasetsNode = nullptr;
    QTreeWidget* m_dataSetTree;
    QTreeWidget* m_pageTree;
};
