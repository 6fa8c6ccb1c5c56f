#include "host/qt/QtConfigSheet.h"

#include "app/SaverApp.h"
#include "config/ConfigProp.h"
#include "core/tvLibrary.h"
#include "host/qt/QtFolderBrowser.h"
#include "host/qt/QtImagesPage.h"
#include "host/qt/QtPreviewDialog.h"
#include "host/qt/QtSettingsPage.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdlib>

namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

QWidget* MakeInfoPage(const std::function<void()>& help, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* title =
        new QLabel(QString::fromStdString(CInfoPage::Title(CSaverApp::GetProductVersion())), page);
    title->setObjectName("title");
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    title->setFont(font);
    auto* text = new QPlainTextEdit(QString::fromStdString(CInfoPage::Text()), page);
    text->setReadOnly(true);
    auto* helpButton = new QPushButton(Text(CInfoPage::HelpLabel), page);
    helpButton->setObjectName("help");
    QObject::connect(helpButton, &QPushButton::clicked, page, [help] {
        if (help)
            help();
    });
    auto* helpRow = new QHBoxLayout;
    helpRow->addStretch();
    helpRow->addWidget(helpButton);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(title);
    layout->addWidget(text, 1);
    layout->addLayout(helpRow);
    return page;
}

} // namespace

QtConfigSheet::Services::Services(QtConfigSheet& sheet, QtSheetHooks hooks)
    : m_Sheet(sheet), m_Hooks(std::move(hooks)), m_pQueue(std::make_unique<QObject>()) {
    if (!m_Hooks.browser)
        m_Hooks.browser = std::make_unique<QtFolderBrowser>(&m_Sheet);
    m_PreviousSink =
        tvLibrary::SetMessageSink([this](tvLibrary::MessageKind, const std::string& caption,
                                         const std::string& text) { Message(caption, text); });
}

QtConfigSheet::Services::~Services() {
    tvLibrary::SetMessageSink(std::move(m_PreviousSink));
}

void QtConfigSheet::Services::ShowHelp() {
    if (m_Hooks.help)
        m_Hooks.help();
}

void QtConfigSheet::Services::Message(const std::string& caption, const std::string& text) {
    if (m_Hooks.message) {
        m_Hooks.message(caption, text);
        return;
    }
    const QString title = QString::fromStdString(caption);
    const QString body = QString::fromStdString(text);
    if (caption == "Error")
        QMessageBox::critical(&m_Sheet, title, body);
    else
        QMessageBox::information(&m_Sheet, title, body);
}

void QtConfigSheet::Services::RunPreview(const std::string& folder) {
    if (m_Hooks.preview) {
        m_Hooks.preview(folder);
        return;
    }
    QtPreviewDialog preview(folder, &m_Sheet);
    preview.exec();
}

void QtConfigSheet::Services::SetBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void QtConfigSheet::Services::Post(std::function<void()> call) {
    QMetaObject::invokeMethod(m_pQueue.get(), std::move(call), Qt::QueuedConnection);
}

QtConfigSheet::QtConfigSheet(RegSettings& settings, const ProfileStore& store, QtSheetHooks hooks,
                             QWidget* parent, int* clicks)
    : QDialog(parent), m_Services(*this, std::move(hooks)) {
    m_pModel = std::make_unique<CConfigProp>(settings, store, m_Services, clicks);
    setWindowTitle(Text(CConfigProp::Caption));
    const std::function<void()> help = [this] { m_Services.ShowHelp(); };

    m_pTabs = new QTabWidget(this);
    m_pGeneral = new QtSettingsPage(m_pModel->General(), help, m_pTabs);
    m_pImages = new QtImagesPage(m_pModel->Images(), help, m_pTabs);
    m_pTabs->addTab(m_pGeneral, Text(CSettingsPage::Caption));
    m_pTabs->addTab(m_pImages, Text(CImagesPage::Caption));
    m_pTabs->addTab(MakeInfoPage(help, m_pTabs), Text(CInfoPage::Caption));
    m_pTabs->setCurrentIndex(CConfigProp::FirstPage());

    // OK and Cancel only: changes are applied when the sheet is confirmed.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QtConfigSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QtConfigSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(buttons);
}

QtConfigSheet::~QtConfigSheet() {
    // The widgets go first (none may reach the behaviour as it goes), then the behaviour,
    // which stops its search while the services it posts to still exist.
    delete m_pTabs;
    m_pTabs = nullptr;
    m_pModel.reset();
}

void QtConfigSheet::accept() {
    m_pGeneral->Commit();
    CConfigProp::Page page = CConfigProp::FirstPage();
    const std::string problem = m_pModel->Validate(page);
    if (!problem.empty()) {
        m_pTabs->setCurrentIndex(page);
        m_Services.Message("Kinetora", problem);
        m_pGeneral->FocusMinutes();
        return;
    }
    const std::string notSaved = m_pModel->OnOK();
    if (!notSaved.empty()) { // open, with the user's values, for another try or Cancel
        m_Services.Message(CConfigProp::NotSavedCaption, notSaved);
        return;
    }
    QDialog::accept();
}

void QtConfigSheet::reject() {
    m_pModel->OnCancel();
    QDialog::reject();
}

bool CanShowConfigSheet() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

void RunConfigSheet(CSaverApp& app) {
    if (!app.pSettings() || !app.pStore())
        return;
    static int argc = 1;
    static char name[] = "kinetora";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QApplication> own;
    if (!QApplication::instance())
        own = std::make_unique<QApplication>(argc, argv);
    QtSheetHooks hooks;
    hooks.help = [&app] { app.ShowHelp(); };
    QtConfigSheet sheet(*app.pSettings(), *app.pStore(), std::move(hooks));
    sheet.exec();
}
