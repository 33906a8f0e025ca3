#include "ui/about_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>

#include "app/program_version.h"
#include "ui/pictures.h"

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Quillmark..."));
    auto* picture = new QLabel(this);
    picture->setPixmap(AboutPicture());
    auto* name = new QLabel(QStringLiteral("Quillmark"), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto* version = new QLabel(
        QStringLiteral("Version %1").arg(QString::fromStdString(ProgramVersion())), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 2, 1);
    layout->addWidget(name, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    // The title bar must show the whole title beside its buttons, which take about as much
    // room again as the title itself on common desktops.
    const int titleWidth =
        2 *
        QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(windowTitle());
    setFixedSize(std::max(sizeHint().width(), titleWidth + 80), sizeHint().height());
}
