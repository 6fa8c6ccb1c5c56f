#include "host/qt/QtPreviewDialog.h"

#include "config/PreviewDialog.h"
#include "images/Image.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

QtPreviewArea::QtPreviewArea(QWidget* parent) : QWidget(parent) {
    setMinimumSize(200, 150);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void QtPreviewArea::SetPicture(QImage picture) {
    m_Picture = std::move(picture);
    update();
}

void QtPreviewArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    m_LastDrawn = QRect();
    if (m_Picture.isNull())
        return;
    const CPreviewDialog::Size size =
        CPreviewDialog::FitSize(m_Picture.width(), m_Picture.height(), width(), height());
    m_LastDrawn = QRect(0, 0, size.width, size.height);
    painter.drawImage(m_LastDrawn, m_Picture);
}

namespace {

// The decoded picture as the display takes it; null when memory runs out.
QImage ToQImage(const Image& image) {
    const std::vector<std::uint32_t> pixels = image.ToDisplayPixels();
    if (pixels.empty())
        return QImage();
    QImage picture(image.Width(), image.Height(), QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    for (int y = 0; y < image.Height(); ++y)
        std::copy_n(pixels.data() + static_cast<std::size_t>(y) * image.Width(), image.Width(),
                    reinterpret_cast<std::uint32_t*>(picture.scanLine(y)));
    return picture;
}

// The width in pixels of the screen the dialog opens on, as a full-screen saver there has.
int ScreenWidth(const QWidget* parent) {
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return CPreviewDialog::DefaultScreenWidth;
    return qRound(screen->geometry().width() * screen->devicePixelRatio());
}

} // namespace

QtPreviewDialog::QtPreviewDialog(const std::string& folder, QWidget* parent)
    : QDialog(parent), m_pPreview(std::make_unique<CPreviewDialog>(folder, ScreenWidth(parent))) {
    setWindowTitle(QString::fromUtf8(CPreviewDialog::Caption));
    m_pList = new QListWidget(this);
    m_pList->setObjectName("files");
    m_pList->setMaximumWidth(220);
    for (const std::string& name : m_pPreview->Files())
        m_pList->addItem(QString::fromStdString(name));
    m_pArea = new QtPreviewArea(this);
    m_pArea->setObjectName("picture");
    m_pStatus = new QLabel(QString::fromStdString(m_pPreview->Status()), this);
    m_pStatus->setObjectName("status");
    m_pStatus->setTextFormat(Qt::PlainText);
    auto* close = new QPushButton(QString::fromUtf8(CPreviewDialog::CloseLabel), this);
    close->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pList, 0, 0);
    layout->addWidget(m_pArea, 0, 1);
    layout->addWidget(m_pStatus, 1, 0, 1, 2);
    layout->addWidget(close, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(1, 1);
    resize(640, 420);

    connect(m_pList, &QListWidget::currentRowChanged, this, [this](int row) { OnSelect(row); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QtPreviewDialog::~QtPreviewDialog() = default;

void QtPreviewDialog::OnSelect(int row) {
    m_pPreview->Select(row);
    m_pStatus->setText(QString::fromStdString(m_pPreview->Status()));
    const Image* image = m_pPreview->Current();
    m_pArea->SetPicture(image ? ToQImage(*image) : QImage());
}
