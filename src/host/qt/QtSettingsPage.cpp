#include "host/qt/QtSettingsPage.h"

#include "config/SettingsPage.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A static text that reports clicks.
class ClickableLabel : public QLabel {
public:
    ClickableLabel(std::function<void()> clicked, QWidget* parent)
        : QLabel(parent), m_Clicked(std::move(clicked)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            m_Clicked();
        QLabel::mousePressEvent(event);
    }

private:
    std::function<void()> m_Clicked;
};

// The minutes box: typed values reach 0, the arrows stop at 1.
class MinutesSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

    void stepBy(int steps) override {
        setValue(std::clamp(value() + steps, CSettingsPage::MinutesArrowMin, maximum()));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override {
        StepEnabled enabled = QSpinBox::stepEnabled();
        if (value() <= CSettingsPage::MinutesArrowMin)
            enabled &= ~StepDownEnabled;
        return enabled;
    }
};

QLabel* SunkenLine(QLabel* label, const char* tip) {
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setToolTip(QString::fromUtf8(tip));
    label->hide();
    return label;
}

} // namespace

QtSettingsPage::QtSettingsPage(CSettingsPage& page, std::function<void()> help, QWidget* parent)
    : QWidget(parent), m_Page(page) {
    auto* speedLabel = new QLabel(QString::fromUtf8(CSettingsPage::SpeedLabel), this);
    m_pSpeed = new QSlider(Qt::Horizontal, this);
    m_pSpeed->setObjectName("speed");
    m_pSpeed->setRange(CSettingsPage::SpeedMin, CSettingsPage::SpeedMax);
    m_pSpeed->setTickInterval(CSettingsPage::TickEvery);
    m_pSpeed->setTickPosition(QSlider::TicksBelow);
    m_pSpeed->setToolTip(QString::fromUtf8(CSettingsPage::SpeedTip));
    speedLabel->setBuddy(m_pSpeed);

    m_pBlank = new QCheckBox(QString::fromUtf8(CSettingsPage::BlankLabel), this);
    m_pBlank->setObjectName("blank");
    m_pBlank->setToolTip(QString::fromUtf8(CSettingsPage::BlankTip));
    m_pMinutes = new MinutesSpinBox(this);
    m_pMinutes->setObjectName("minutes");
    m_pMinutes->setRange(CSettingsPage::MinutesMin, CSettingsPage::MinutesMax);
    m_pMinutes->setToolTip(QString::fromUtf8(CSettingsPage::MinutesTip));
    m_pMinutesLabel = new QLabel(QString::fromUtf8(CSettingsPage::MinutesLabel), this);

    m_pFrameRate = SunkenLine(new ClickableLabel(
                                  [this] {
                                      m_Page.OnFrameRateClicked();
                                      Refresh();
                                  },
                                  this),
                              CSettingsPage::FrameRateTip);
    m_pFrameRate->setObjectName("frameRate");
    m_pPolygons = SunkenLine(new QLabel(this), CSettingsPage::PolygonsTip);
    m_pPolygons->setObjectName("polygons");

    auto* helpButton = new QPushButton(QString::fromUtf8(CSettingsPage::HelpLabel), this);
    helpButton->setObjectName("help");

    auto* minutesRow = new QHBoxLayout;
    minutesRow->addSpacing(20);
    minutesRow->addWidget(m_pMinutes);
    minutesRow->addWidget(m_pMinutesLabel);
    minutesRow->addStretch();
    auto* helpRow = new QHBoxLayout;
    helpRow->addStretch();
    helpRow->addWidget(helpButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(speedLabel);
    layout->addWidget(m_pSpeed);
    layout->addSpacing(12);
    layout->addWidget(m_pBlank);
    layout->addLayout(minutesRow);
    layout->addSpacing(12);
    for (QLabel* line : {m_pFrameRate, m_pPolygons}) {
        auto* row = new QHBoxLayout;
        row->addWidget(line);
        row->addStretch();
        layout->addLayout(row);
    }
    layout->addStretch();
    layout->addLayout(helpRow);

    m_pMinutes->setValue(QString::fromStdString(m_Page.MinutesText()).toInt());
    Refresh();
    connect(m_pSpeed, &QSlider::valueChanged, this, [this](int value) { m_Page.SetSpeed(value); });
    connect(m_pBlank, &QCheckBox::clicked, this, [this](bool checked) {
        m_Page.SetBlank(checked);
        Refresh();
    });
    connect(m_pMinutes, &QSpinBox::textChanged, this,
            [this] { m_Page.SetMinutesText(m_pMinutes->cleanText().toStdString()); });
    connect(helpButton, &QPushButton::clicked, this, [help = std::move(help)] {
        if (help)
            help();
    });
}

void QtSettingsPage::Refresh() {
    const QSignalBlocker blockSpeed(m_pSpeed);
    m_pSpeed->setValue(m_Page.Speed());
    m_pBlank->setChecked(m_Page.Blank());
    const bool enabled = m_Page.MinutesEnabled();
    m_pMinutes->setEnabled(enabled);
    m_pMinutesLabel->setEnabled(enabled);
    m_pFrameRate->setText(QString::fromStdString(m_Page.FrameRateText()));
    m_pFrameRate->setVisible(m_Page.FrameRateShown());
    m_pPolygons->setText(QString::fromStdString(m_Page.PolygonsText()));
    m_pPolygons->setVisible(m_Page.PolygonsShown());
}

void QtSettingsPage::Commit() {
    m_Page.SetSpeed(m_pSpeed->value());
    m_Page.SetMinutesText(m_pMinutes->cleanText().toStdString());
}

void QtSettingsPage::FocusMinutes() {
    m_pMinutes->setFocus();
    m_pMinutes->selectAll();
}
