#include "ui/navigation_dialog.h"

#include <algorithm>
#include <utility>

#include <QTreeWidget>

#include "app/project_commands.h"
#include "model/project.h"
#include "ui/main_frame.h"
#include "ui/page_sheet.h"
#include "ui/pictures.h"
#include "ui/refresh.h"

namespace {

constexpr int64_t kGroupItem = -1;

QTreeWidget* MakeTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setIconSize(QSize(16, 16));
    // The column is narrow: keep the deepest items' names readable.
    tree->setIndentation(12);
    return tree;
}

// A new last child of `parent` (a root item when null) with its text, pictures and data.
QTreeWidgetItem* InsertItem(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& text,
                            NavPicture picture, NavPicture selected, int64_t data) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, text);
    item->setIcon(0, NavigationIcon(picture, selected));
    item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(data));
    return item;
}

int64_t DataSetItemData(const CDataSet* ds) {
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(ds));
}

}  // namespace

CNavigationDialog::CNavigationDialog(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : QWidget(parent),
      m_commands(commands),
      m_project(commands.Project()),
      m_frame(frame),
      m_dataSetTree(MakeTree(this)),
      m_pageTree(MakeTree(this)) {
    QTreeWidgetItem* info = BuildPageTree();
    BuildDataSetTree();
    connect(m_pageTree, &QTreeWidget::itemSelectionChanged, this, [this] { OnPageSelected(); });
    connect(m_dataSetTree, &QTreeWidget::itemSelectionChanged, this,
            [this] { OnDataSetSelected(); });
    m_pageTree->setCurrentItem(info);
}

int64_t CNavigationDialog::ItemData(const QTreeWidgetItem* item) {
    if (item == nullptr) {
        return kGroupItem;
    }
    return item->data(0, Qt::UserRole).toLongLong();
}

CDataSet* CNavigationDialog::DataSetOf(const QTreeWidgetItem* item) {
    if (ItemData(item) == kGroupItem) {
        return nullptr;
    }
    return reinterpret_cast<CDataSet*>(static_cast<intptr_t>(ItemData(item)));
}

QTreeWidgetItem* CNavigationDialog::BuildPageTree() {
    QTreeWidget* t = m_pageTree;
    m_controlsNode = InsertItem(t, nullptr, "Controls", PIC_ROOT, PIC_ROOT, kGroupItem);
    QTreeWidgetItem* dataGroup =
        InsertItem(t, m_controlsNode, "Data", PIC_DATA, PIC_DATA, kGroupItem);
    InsertItem(t, dataGroup, "Import", PIC_PAGE, PIC_SELECTED_PAGE, PAGE_DATA);
    InsertItem(t, dataGroup, "Time Range", PIC_PAGE, PIC_SELECTED_PAGE, PAGE_CONTROLS);
    QTreeWidgetItem* info =
        InsertItem(t, dataGroup, "Info", PIC_PAGE, PIC_SELECTED_PAGE, PAGE_INFO);
    InsertItem(t, dataGroup, "Append", PIC_PAGE, PIC_SELECTED_PAGE, PAGE_APPEND);
    QTreeWidgetItem* analysis =
        InsertItem(t, m_controlsNode, "Analysis", PIC_ANALYSIS, PIC_ANALYSIS, kGroupItem);
    InsertItem(t, analysis, "Parameters", PIC_PAGE, PIC_SELECTED_PAGE, PAGE_PARAMETERS);
    InsertItem(t, analysis, "Process", PIC_PAGE, PIC_SELECTED_PAGE, PAGE_ANALYSIS);
    m_controlsNode->setExpanded(true);
    dataGroup->setExpanded(true);
    analysis->setExpanded(true);
    return info;
}

void CNavigationDialog::BuildDataSetTree() {
    QTreeWidget* t = m_dataSetTree;
    m_datasetsNode = InsertItem(t, nullptr, "Datasets", PIC_ROOT, PIC_ROOT, kGroupItem);
    m_primaryNode = InsertItem(t, m_datasetsNode, "Primary", PIC_PRIMARY, PIC_PRIMARY, kGroupItem);
    m_secondaryNode =
        InsertItem(t, m_datasetsNode, "Secondary", PIC_SECONDARY, PIC_SECONDARY, kGroupItem);
}

void CNavigationDialog::RebuildDataSets() {
    m_ready = false;
    for (QTreeWidgetItem* group : {m_primaryNode, m_secondaryNode}) {
        while (group->childCount() > 0) {
            delete group->child(0);
        }
    }
    bool first = true;
    for (const auto& ds : m_project.DataSets()) {
        InsertItem(m_dataSetTree, first ? m_primaryNode : m_secondaryNode,
                   QString::fromStdString(ds->m_name), PIC_DATA_SET, PIC_SELECTED_DATA_SET,
                   DataSetItemData(ds.get()));
        first = false;
    }
    m_datasetsNode->setExpanded(true);
    m_primaryNode->setExpanded(true);
    m_secondaryNode->setExpanded(true);
    // The command that changed the list has made its current data set current already.
    SelectItemOf(m_project.Current());
    m_shown = m_project.Current();
    m_ready = true;
}

void CNavigationDialog::OnPageSelected() {
    const QList<QTreeWidgetItem*> selected = m_pageTree->selectedItems();
    const int64_t page = selected.isEmpty() ? kGroupItem : ItemData(selected.first());
    if (page < 0) {
        return;
    }
    m_frame.Sheet()->SetActivePage(static_cast<int>(page));
}

void CNavigationDialog::OnDataSetSelected() {
    if (!m_ready) {
        return;
    }
    const QList<QTreeWidgetItem*> selected = m_dataSetTree->selectedItems();
    CDataSet* ds = selected.isEmpty() ? nullptr : DataSetOf(selected.first());
    if (ds == nullptr) {
        return;
    }
    // The pages hold the fields of the data set chosen last. Once that one has been deleted,
    // storing them would write its comment, currency and ratio into another data set.
    const bool storeFirst = m_shown == nullptr || IsListed(m_shown);
    if (!m_commands.SelectDataSet(ds, storeFirst)) {
        // A refused entry keeps the data set it belongs to chosen.
        SelectItemOf(m_project.Current());
        return;
    }
    m_shown = ds;
}

void CNavigationDialog::SelectItemOf(const CDataSet* ds) {
    const bool ready = std::exchange(m_ready, false);
    for (QTreeWidgetItem* group : {m_primaryNode, m_secondaryNode}) {
        for (int i = 0; i < group->childCount(); ++i) {
            if (DataSetOf(group->child(i)) == ds) {
                m_dataSetTree->setCurrentItem(group->child(i));
            }
        }
    }
    m_ready = ready;
}

bool CNavigationDialog::IsListed(const CDataSet* ds) const {
    for (const auto& listed : m_project.DataSets()) {
        if (listed.get() == ds) {
            return true;
        }
    }
    return false;
}

void CNavigationDialog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int h = height();
    m_dataSetTree->setGeometry(5, 5, 140, std::max(0, h - 195));
    m_pageTree->setGeometry(5, h - 185, 140, 185);
}

void CNavigationDialog::customEvent(QEvent* event) {
    if (RefreshCodeOf(event) == REFRESH_DATASETS) {
        RebuildDataSets();
    } else if (RefreshCodeOf(event) == REFRESH_CLEAR) {
        m_shown = nullptr;  // a new project: the pages are about to be blanked
    }
}
