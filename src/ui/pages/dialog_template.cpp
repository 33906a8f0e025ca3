#include "ui/pages/dialog_template.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr char kShownText[] = "quillmarkShownText";
constexpr char kShownValue[] = "quillmarkShownValue";
constexpr char kBaseTip[] = "quillmarkBaseTip";

RefusalPrompt& Prompt() {
    static RefusalPrompt prompt;
    return prompt;
}

// The field's name as its label or tooltip gives it, for the prompt of a refused entry.
QString FieldName(const QLineEdit* edit) {
    if (!edit->accessibleName().isEmpty()) {
        return edit->accessibleName();
    }
    return edit->toolTip().isEmpty() ? edit->objectName() : edit->toolTip();
}

// Shows the field's value again and tells the user what the field takes; the focus goes back
// to the field so the next key corrects it.
void Refuse(QLineEdit* edit, const QString& accepts) {
    const QString typed = edit->text().trimmed();
    const QString text =
        QStringLiteral("%1: \"%2\" is not accepted.\n%3").arg(FieldName(edit), typed, accepts);
    if (Prompt()) {
        Prompt()(edit, text);
    } else {
        QMessageBox::warning(edit->window(), QStringLiteral("Quillmark"), text);
    }
    edit->setFocus();
    edit->selectAll();
}

}  // namespace

CDialogTemplate::CDialogTemplate(QWidget* page) : m_page(page) {
    const QFontMetrics metrics(page->font());
    // The average width of the letters, rounded, as dialog units have always measured it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (letters / 26 + 1) / 2;
    m_baseY = metrics.height();
}

QRect CDialogTemplate::ToPixels(int x, int y, int cx, int cy) const {
    auto across = [this](int units) { return (units * m_baseX + 2) / 4; };
    auto down = [this](int units) { return (units * m_baseY + 4) / 8; };
    return QRect(across(x), down(y), across(cx), down(cy));
}

QGroupBox* CDialogTemplate::Group(const QString& title, int x, int y, int cx, int cy) const {
    auto* group = new QGroupBox(title, m_page);
    group->setGeometry(ToPixels(x, y, cx, cy));
    return group;
}

QLabel* CDialogTemplate::Static(const QString& text, int x, int y, int cx, int cy,
                                bool rightAligned) const {
    auto* label = new QLabel(text, m_page);
    QRect box = ToPixels(x, y, cx, cy);
    const QSize wanted = label->sizeHint();
    const int right = box.right();
    box.setWidth(std::max(box.width(), wanted.width()));
    box.setHeight(std::max(box.height(), wanted.height()));
    if (rightAligned) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box.moveRight(right);
    }
    label->setGeometry(box);
    return label;
}

QLineEdit* CDialogTemplate::Edit(const char* name, int x, int y, int cx, int cy) const {
    auto* edit = new QLineEdit(m_page);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAlignment(Qt::AlignRight);
    edit->setGeometry(ToPixels(x, y, cx, cy));
    return edit;
}

QPushButton* CDialogTemplate::Button(const QString& text, const char* name, int x, int y, int cx,
                                     int cy) const {
    auto* button = new QPushButton(text, m_page);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(ToPixels(x, y, cx, cy));
    return button;
}

QCheckBox* CDialogTemplate::Check(const QString& text, const char* name, int x, int y, int cx,
                                  int cy) const {
    auto* check = new QCheckBox(text, m_page);
    check->setObjectName(QString::fromLatin1(name));
    QRect box = ToPixels(x, y, cx, cy);
    box.setSize(box.size().expandedTo(check->sizeHint()));
    check->setGeometry(box);
    return check;
}

CSpinArrows::CSpinArrows(const char* name, QWidget* parent)
    : QWidget(parent), m_left(new QToolButton(this)), m_right(new QToolButton(this)) {
    setObjectName(QString::fromLatin1(name));
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_left->setArrowType(Qt::LeftArrow);
    m_right->setArrowType(Qt::RightArrow);
    for (QToolButton* arrow : {m_left, m_right}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(arrow);
    }
    connect(m_left, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(m_right, &QToolButton::clicked, this, [this] { Step(1); });
}

void CSpinArrows::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left) {
        Step(-1);
    } else if (event->key() == Qt::Key_Right) {
        Step(1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void CSpinArrows::Step(int step) {
    if (m_onStep) {
        m_onStep(step);
    }
}

bool ReadInt(QLineEdit* edit, int32_t& field) {
    // A value too wide for its edit is shown short and read back whole while the text stands.
    if (edit->text() == edit->property(kShownText).toString()) {
        field = static_cast<int32_t>(edit->property(kShownValue).toLongLong());
        return true;
    }
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    if (!ok) {
        Refuse(edit, QStringLiteral("Please enter an integer."));
        ShowInt(edit, field);
        edit->selectAll();
        return false;
    }
    field = value;
    return true;
}

bool ReadDouble(QLineEdit* edit, double& field) {
    // A value shown with fewer digits than it has is read back whole while the text stands.
    if (edit->text() == edit->property(kShownText).toString()) {
        field = edit->property(kShownValue).toDouble();
        return true;
    }
    bool ok = false;
    const double value = edit->text().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        Refuse(edit, QStringLiteral("Please enter a number."));
        ShowDouble(edit, field);
        edit->selectAll();
        return false;
    }
    field = value;
    return true;
}

void SetRefusalPrompt(RefusalPrompt prompt) {
    Prompt() = std::move(prompt);
}

namespace {

// The pixels an edit has for its text: the frame and the text's own margin take about a
// character's width.
int TextWidth(const QLineEdit* edit) {
    const QMargins margins = edit->textMargins();
    return edit->width() - margins.left() - margins.right() -
           edit->fontMetrics().horizontalAdvance(QLatin1Char('0'));
}

}  // namespace

void ShowInt(QLineEdit* edit, int32_t field) {
    QString text = QString::number(field);
    // Never the tail of a number ("83647" of 2147483647): a short form that fits instead.
    if (edit->fontMetrics().horizontalAdvance(text) > TextWidth(edit)) {
        text = FittingNumber(edit, field, TextWidth(edit));
    }
    edit->setText(text);
    edit->setProperty(kShownText, text);
    edit->setProperty(kShownValue, QVariant::fromValue<qlonglong>(field));
    edit->setCursorPosition(0);
}

void ShowFigure(QLineEdit* edit, const QString& text, double value) {
    if (!edit->property(kBaseTip).isValid()) {
        edit->setProperty(kBaseTip, edit->toolTip());
    }
    const QString base = edit->property(kBaseTip).toString();
    if (edit->fontMetrics().horizontalAdvance(text) <= TextWidth(edit)) {
        edit->setText(text);
        edit->setToolTip(base);
    } else {
        edit->setText(FittingNumber(edit, value, TextWidth(edit)));
        edit->setToolTip(base.isEmpty() ? text : base + QStringLiteral(": ") + text);
    }
    edit->setCursorPosition(0);
}

void ShowDouble(QLineEdit* edit, double field) {
    const QString text = FittingNumber(edit, field, TextWidth(edit));
    edit->setText(text);
    edit->setProperty(kShownText, text);
    edit->setProperty(kShownValue, field);
    edit->setCursorPosition(0);
}

QString FittingNumber(const QLineEdit* edit, double value, int width) {
    const QFontMetrics metrics = edit->fontMetrics();
    QString text;
    for (int digits = 15; digits >= 1; --digits) {
        text = QString::number(value, 'g', digits);
        if (metrics.horizontalAdvance(text) <= width) {
            break;
        }
    }
    return text;
}
