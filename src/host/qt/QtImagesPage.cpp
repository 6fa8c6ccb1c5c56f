#include "host/qt/QtImagesPage.h"

#include "config/ImagesPage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

#include <functional>

namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

QPushButton* QtImagesPage::Button(const char* text, const char* tip, const char* name,
                                  std::function<void(CImagesPage&)> command) {
    auto* button = new QPushButton(Text(text), this);
    button->setObjectName(name);
    if (tip)
        button->setToolTip(Text(tip));
    connect(button, &QPushButton::clicked, this, [this, command = std::move(command)] {
        command(m_Page);
        Refresh();
    });
    return button;
}

QtImagesPage::QtImagesPage(CImagesPage& page, std::function<void()> help, QWidget* parent)
    : QWidget(parent), m_Page(page) {
    auto* listLabel = new QLabel(Text(CImagesPage::FoldersLabel), this);
    m_pList = new QListWidget(this);
    m_pList->setObjectName("folders");
    m_pList->setToolTip(Text(CImagesPage::FoldersTip));
    m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    listLabel->setBuddy(m_pList);

    m_pAdd =
        Button(CImagesPage::AddLabel, CImagesPage::AddTip, "add", std::mem_fn(&CImagesPage::OnAdd));
    m_pRemove = Button(CImagesPage::RemoveLabel, CImagesPage::RemoveTip, "remove",
                       std::mem_fn(&CImagesPage::OnRemove));
    m_pRemoveAll = Button(CImagesPage::RemoveAllLabel, CImagesPage::RemoveAllTip, "removeAll",
                          std::mem_fn(&CImagesPage::OnRemoveAll));
    m_pSearch = Button(CImagesPage::SearchLabel, CImagesPage::SearchTip, "search",
                       std::mem_fn(&CImagesPage::OnSearch));
    m_pImages = Button(CImagesPage::ImagesLabel, CImagesPage::ImagesTip, "images",
                       std::mem_fn(&CImagesPage::OnImages));

    auto* probLabel = new QLabel(Text(CImagesPage::ProbLabel), this);
    m_pProb = new QSlider(Qt::Horizontal, this);
    m_pProb->setObjectName("prob");
    m_pProb->setRange(CImagesPage::ProbMin, CImagesPage::ProbMax);
    m_pProb->setTickInterval(CImagesPage::TickEvery);
    m_pProb->setTickPosition(QSlider::TicksBelow);
    m_pProb->setToolTip(Text(CImagesPage::ProbTip));
    probLabel->setBuddy(m_pProb);
    auto* moreLabel = new QLabel(Text(CImagesPage::MoreLabel), this);

    auto* order = new QGroupBox(Text(CImagesPage::OrderGroup), this);
    m_pRandom = new QRadioButton(Text(CImagesPage::RandomLabel), order);
    m_pRandom->setObjectName("random");
    m_pRandom->setToolTip(Text(CImagesPage::RandomTip));
    m_pAlphabetical = new QRadioButton(Text(CImagesPage::AlphabeticalLabel), order);
    m_pAlphabetical->setObjectName("alphabetical");
    m_pAlphabetical->setToolTip(Text(CImagesPage::AlphabeticalTip));
    m_pStartAtFirst = Button(CImagesPage::StartAtFirstLabel, CImagesPage::StartAtFirstTip,
                             "startAtFirst", std::mem_fn(&CImagesPage::OnStartAtFirst));
    m_pReset = Button(CImagesPage::ResetLabel, CImagesPage::ResetTip, "reset",
                      std::mem_fn(&CImagesPage::OnReset));
    auto* helpButton = new QPushButton(Text(CImagesPage::HelpLabel), this);
    helpButton->setObjectName("help");

    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName("status");
    m_pStatus->setTextFormat(Qt::PlainText);
    // A long path must not widen the sheet.
    QSizePolicy statusPolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusPolicy.setRetainSizeWhenHidden(true);
    m_pStatus->setSizePolicy(statusPolicy);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_pAdd, m_pRemove, m_pRemoveAll, m_pSearch, m_pImages})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_pList, 1);
    listRow->addLayout(buttons);

    auto* probRow = new QHBoxLayout;
    probRow->addWidget(m_pProb, 1);
    probRow->addWidget(moreLabel);

    auto* orderLayout = new QGridLayout(order);
    orderLayout->addWidget(m_pRandom, 0, 0);
    orderLayout->addWidget(m_pAlphabetical, 1, 0);
    orderLayout->addWidget(m_pStartAtFirst, 0, 1, 2, 1);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(order, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(m_pReset);
    side->addWidget(helpButton);
    bottomRow->addLayout(side);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listLabel);
    layout->addLayout(listRow, 1);
    layout->addWidget(m_pStatus);
    layout->addWidget(probLabel);
    layout->addLayout(probRow);
    layout->addLayout(bottomRow);

    Refresh();
    connect(m_pList, &QListWidget::currentRowChanged, this,
            [this](int row) { m_Page.Select(row); });
    connect(m_pProb, &QSlider::valueChanged, this, [this](int value) { m_Page.SetProb(value); });
    connect(m_pRandom, &QRadioButton::clicked, this, [this] {
        m_Page.OnRandom();
        Refresh();
    });
    connect(m_pAlphabetical, &QRadioButton::clicked, this, [this] {
        m_Page.OnAlphabetical();
        Refresh();
    });
    connect(helpButton, &QPushButton::clicked, this, [help = std::move(help)] {
        if (help)
            help();
    });
    m_Page.SetChangeListener([this] { Refresh(); });
}

QtImagesPage::~QtImagesPage() {
    m_Page.SetChangeListener(nullptr);
}

void QtImagesPage::Refresh() {
    const QSignalBlocker blockList(m_pList);
    const QSignalBlocker blockProb(m_pProb);
    const std::vector<std::string>& folders = m_Page.List();
    bool same = m_pList->count() == static_cast<int>(folders.size());
    for (int i = 0; same && i < m_pList->count(); ++i)
        same = m_pList->item(i)->text().toStdString() == folders[static_cast<std::size_t>(i)];
    if (!same) {
        m_pList->clear();
        for (const std::string& folder : folders)
            m_pList->addItem(QString::fromStdString(folder));
    }
    m_pList->setCurrentRow(m_Page.Selection());

    m_pProb->setValue(m_Page.Prob());
    m_pRandom->setChecked(m_Page.Order() == 0);
    m_pAlphabetical->setChecked(m_Page.Order() != 0);
    m_pStartAtFirst->setEnabled(m_Page.StartAtFirstEnabled());

    const bool listButtons = m_Page.ListButtonsEnabled();
    for (QPushButton* button : {m_pAdd, m_pRemove, m_pRemoveAll, m_pImages})
        button->setEnabled(listButtons);
    m_pSearch->setText(Text(m_Page.SearchText()));
    m_pStatus->setText(QString::fromStdString(m_Page.StatusText()));
    m_pStatus->setVisible(m_Page.StatusShown());
}
