#include "ui/pages/parameters_page.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/parameter_rules.h"
#include "app/project_commands.h"
#include "model/project.h"
#include "ui/figure_text.h"
#include "ui/main_frame.h"
#include "ui/pages/dialog_template.h"
#include "ui/pictures.h"
#include "ui/refresh.h"

namespace {

constexpr int32_t kFineStep = 5;
constexpr int32_t kCoarseStep = 10;

// A picture of the Time Sub-Range group over the edit below it.
void AddPicture(const CDialogTemplate& t, QWidget* page, SubRangePicture which, int x,
                const char* tip) {
    auto* label = new QLabel(page);
    label->setPixmap(SubRangePixmap(which));
    label->setAlignment(Qt::AlignCenter);
    label->setToolTip(QString::fromLatin1(tip));
    label->setGeometry(t.ToPixels(x, 12, 25, 16));
}

// The up-down spin beside the flags edit. Like a spin control with its default range, the
// upper arrow reports a change of -1 and the lower one +1, also while an arrow is held down.
QWidget* MakeFlagsSpin(QWidget* page, const std::function<void(int)>& onChange) {
    auto* spin = new QWidget(page);
    spin->setObjectName(QStringLiteral("flagsSpin"));
    auto* layout = new QVBoxLayout(spin);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const int change : {-1, 1}) {
        auto* arrow = new QToolButton(spin);
        arrow->setObjectName(change < 0 ? QStringLiteral("up") : QStringLiteral("down"));
        arrow->setArrowType(change < 0 ? Qt::UpArrow : Qt::DownArrow);
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(arrow);
        QObject::connect(arrow, &QToolButton::clicked, page,
                         [onChange, change] { onChange(change); });
    }
    return spin;
}

}  // namespace

CParametersPage::CParametersPage(CProjectCommands& commands, CMainFrame& frame, QWidget* parent)
    : CProjectPage(commands, frame, parent) {
    const CDialogTemplate t(this);
    t.Group("Time Sub-Range (Days)", 0, 0, 110, 65);
    AddPicture(t, this, SUBRANGE_LOW, 10, "Shortest smoothing length of the optimisation");
    AddPicture(t, this, SUBRANGE_HIGH, 40, "Longest smoothing length of the optimisation");
    AddPicture(t, this, SUBRANGE_SMOOTHING, 70, "Smoothing length");
    m_sweepLowEdit = t.Edit("sweepLow", 10, 32, 25, 12);
    m_sweepHighEdit = t.Edit("sweepHigh", 40, 32, 25, 12);
    m_smoothingEdit = t.Edit("smoothing", 70, 32, 25, 12);

    t.Group("Ratio", 120, 0, 130, 65);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("resolutionSlider"));
    m_slider->setRange(2, 50);
    m_slider->setTickInterval(2);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setGeometry(t.ToPixels(128, 11, 114, 20));
    t.Static("Resolution", 128, 38, 38, 8);
    m_resolutionEdit = t.Edit("resolution", 168, 36, 32, 12);
    m_resolutionEdit->setReadOnly(true);
    m_ratioEdit = t.Edit("ratio", 205, 36, 37, 12);
    m_ratioEdit->setToolTip(QStringLiteral("Ratio of the current data set, -1 to 1"));
    const std::pair<QLineEdit*, const char*> names[] = {
        {m_sweepLowEdit, "Shortest smoothing length (days)"},
        {m_sweepHighEdit, "Longest smoothing length (days)"},
        {m_smoothingEdit, "Smoothing length (days)"},
        {m_resolutionEdit, "Resolution"},
        {m_ratioEdit, "Ratio"}};
    for (const auto& [edit, name] : names) {
        edit->setAccessibleName(QString::fromLatin1(name));
        if (edit->toolTip().isEmpty()) {
            edit->setToolTip(QString::fromLatin1(name));
        }
    }

    t.Group("Flags (%)", 260, 0, 80, 65);
    m_flagsEdit = t.Edit("flags", 270, 16, 30, 12);
    QWidget* spin = MakeFlagsSpin(this, [this](int change) { OnFlagsSpin(change); });
    spin->setGeometry(t.ToPixels(300, 16, 10, 12));
    m_flagsEdit->setAccessibleName(QStringLiteral("Flags (%)"));
    m_flagsEdit->setToolTip(QStringLiteral("Flag level (%), 0 to 100"));
    m_fine = new QRadioButton(QStringLiteral("Fine"), this);
    m_fine->setObjectName(QStringLiteral("fine"));
    m_fine->setGeometry(t.ToPixels(270, 34, 50, 10));
    m_coarse = new QRadioButton(QStringLiteral("Coarse"), this);
    m_coarse->setObjectName(QStringLiteral("coarse"));
    m_coarse->setGeometry(t.ToPixels(270, 47, 50, 10));

    t.Group("Process", 350, 0, 70, 65);
    QPushButton* update = t.Button("&Update", "update", 360, 25, 50, 14);

    QWidget* const order[] = {m_sweepLowEdit,   m_sweepHighEdit, m_smoothingEdit, m_slider,
                              m_resolutionEdit, m_ratioEdit,     m_flagsEdit,     m_fine,
                              m_coarse,         update};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    // A drag settles when the slider is released; keys and clicks on the groove settle at once.
    connect(m_slider, &QSlider::sliderReleased, this, [this] { OnSliderSettled(); });
    connect(m_slider, &QSlider::valueChanged, this, [this] {
        if (!m_slider->isSliderDown()) {
            OnSliderSettled();
        }
    });
    connect(m_fine, &QRadioButton::clicked, this, [this] { OnFine(); });
    connect(m_coarse, &QRadioButton::clicked, this, [this] { OnCoarse(); });
    connect(update, &QPushButton::clicked, this, [this] { OnUpdate(); });
    ShowFields();
}

void CParametersPage::LoadFields() {
    const CStrategyRange& range = m_project.m_range;
    const CStrategyParams& primary = m_project.Primary()->m_params;
    {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(range.RR);
    }
    if (range.RR > 0) {
        m_resolution = 1.0 / range.RR;
    }
    m_smoothing = primary.ML;
    m_sweepLow = range.ML;
    m_sweepHigh = range.MU;
    m_flags = primary.BL;
    m_flagStep = range.BI <= kFineStep ? kFineStep : kCoarseStep;
    OnCurrentChanged();
}

void CParametersPage::OnCurrentChanged() {
    m_ratio = m_project.Current()->m_params.RC;
    ShowFields();
}

bool CParametersPage::StoreFields() {
    const bool accepted = ReadEdits();
    CParameterFields fields{m_smoothing, m_sweepLow, m_sweepHigh,      m_ratio,
                            m_flags,     m_flagStep, m_slider->value()};
    StoreParameters(m_project, fields);
    // The fields show the values as stored.
    m_smoothing = fields.smoothing;
    m_sweepLow = fields.sweepLow;
    m_sweepHigh = fields.sweepHigh;
    m_ratio = fields.ratio;
    m_flags = fields.flags;
    return accepted;
}

void CParametersPage::ClearFields() {
    // The sweep keeps its values.
    m_ratio = 0.0;
    m_smoothing = 0;
    m_flags = 0;
    m_resolution = std::nan("");
    ShowFields();
}

void CParametersPage::OnUpdate() {
    m_commands.Simulate();
}

void CParametersPage::OnFlagsSpin(int change) {
    if (!ReadEdits()) {
        return;
    }
    // Clamped to 0 to 100 only when stored; here it only must not overflow.
    const int64_t flags = int64_t{m_flags} + (change < 0 ? m_flagStep : -m_flagStep);
    m_flags = static_cast<int32_t>(std::clamp<int64_t>(flags, std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max()));
    ShowFields();
    OnUpdate();
}

void CParametersPage::OnFine() {
    ReadEdits();
    m_flagStep = kFineStep;
    ShowFields();
}

void CParametersPage::OnCoarse() {
    ReadEdits();
    m_flagStep = kCoarseStep;
    ShowFields();
}

void CParametersPage::OnSliderSettled() {
    OnProjectRefresh(REFRESH_STORE);
    OnProjectRefresh(REFRESH_LOAD);
}

bool CParametersPage::ReadEdits() {
    return ReadInt(m_sweepLowEdit, m_sweepLow) && ReadInt(m_sweepHighEdit, m_sweepHigh) &&
           ReadInt(m_smoothingEdit, m_smoothing) && ReadInt(m_flagsEdit, m_flags) &&
           ReadDouble(m_ratioEdit, m_ratio);
}

void CParametersPage::ShowFields() {
    ShowInt(m_sweepLowEdit, m_sweepLow);
    ShowInt(m_sweepHighEdit, m_sweepHigh);
    ShowInt(m_smoothingEdit, m_smoothing);
    ShowInt(m_flagsEdit, m_flags);
    ShowDouble(m_ratioEdit, m_ratio);
    m_resolutionEdit->setText(FigureText(m_resolution));
    m_fine->setChecked(m_flagStep == kFineStep);
    m_coarse->setChecked(m_flagStep != kFineStep);
}
