#include "host/posix/IniProfileStore.h"
#include "host/qt/QtConfigSheet.h"
#include "host/qt/QtImagesPage.h"
#include "host/qt/QtPreviewDialog.h"
#include "host/qt/QtSettingsPage.h"

#include "app/SaverApp.h"
#include "config/ConfigProp.h"
#include "core/MemoryProfileStore.h"
#include "core/RegSettings.h"

#include "config/FakeServices.h"
#include "host/qt/QtTestApp.h"
#include "images/TestImages.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>

using testimages::TempDir;

namespace {

void Click(QWidget* widget) {
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

// Runs the event loop until done() or the time is up.
bool ProcessUntil(const std::function<bool()>& done, int ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

class ConfigSheetTest : public ::testing::Test {
protected:
    ConfigSheetTest() {
        EnsureQtApp();
        store.SetRaw("FramesPerSecond", "21");
        store.SetRaw("Polygons", "4200");
    }

    // A sheet on the store whose folder picker gives `answers` and whose boxes are noted. The
    // settings of every sheet live as long as the test: an earlier sheet may still be open.
    std::unique_ptr<QtConfigSheet> Sheet(ProfileStore& on, std::vector<std::string> answers = {}) {
        m_AllSettings.push_back(std::make_unique<RegSettings>(on));
        settings = m_AllSettings.back().get();
        auto browser = std::make_unique<ScriptedBrowser>();
        for (std::string& answer : answers)
            browser->Answer(std::move(answer));
        QtSheetHooks hooks;
        hooks.browser = std::move(browser);
        hooks.message = [this](const std::string& caption, const std::string& text) {
            messages.push_back(caption + ": " + text);
        };
        hooks.preview = [this](const std::string& folder) { previews.push_back(folder); };
        hooks.help = [this] { ++helps; };
        return std::make_unique<QtConfigSheet>(*settings, on, std::move(hooks), nullptr, &clicks);
    }

    MemoryProfileStore store;
    std::vector<std::unique_ptr<RegSettings>> m_AllSettings;
    RegSettings* settings = nullptr; // the last sheet's
    std::vector<std::string> messages;
    std::vector<std::string> previews;
    int helps = 0;
    int clicks = 0;
};

} // namespace

TEST_F(ConfigSheetTest, OpensOnGeneralWithItsThreePages) {
    const auto sheet = Sheet(store);
    EXPECT_EQ(sheet->windowTitle(), "Kinetora Screensaver");
    QTabWidget* tabs = sheet->Tabs();
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "General");
    EXPECT_EQ(tabs->tabText(1), "Images");
    EXPECT_EQ(tabs->tabText(2), "Information");
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(sheet->findChild<QLabel*>("title")->text().toStdString(),
              "Kinetora Screensaver v" + CSaverApp::GetProductVersion());
    QtSettingsPage* general = sheet->GeneralPage();
    EXPECT_EQ(general->SpeedSlider()->toolTip(),
              "Faster speeds may make the animation less smooth");
    EXPECT_EQ(general->SpeedSlider()->tickInterval(), 10);
    EXPECT_EQ(general->MinutesBox()->toolTip(), "Set to 5 minutes less than your power down time");
    EXPECT_EQ(sheet->ImagesPage()->RemoveAllButton()->toolTip(),
              "Remove the all folders from the list");
    for (QPushButton* help : sheet->findChildren<QPushButton*>("help"))
        help->click();
    EXPECT_EQ(helps, 3);
}

TEST_F(ConfigSheetTest, FrameRateLineAndThePolygonCountBehindIt) {
    MemoryProfileStore fresh;
    const auto plain = Sheet(fresh);
    EXPECT_TRUE(plain->GeneralPage()->FrameRateLine()->isHidden());
    EXPECT_TRUE(plain->GeneralPage()->PolygonsLine()->isHidden());

    const auto sheet = Sheet(store);
    QLabel* rate = sheet->GeneralPage()->FrameRateLine();
    QLabel* polygons = sheet->GeneralPage()->PolygonsLine();
    EXPECT_FALSE(rate->isHidden());
    EXPECT_EQ(rate->text(), "Last Frames Per Second: 21");
    Click(rate);
    Click(rate);
    EXPECT_TRUE(polygons->isHidden());
    Click(rate);
    EXPECT_FALSE(polygons->isHidden());
    EXPECT_EQ(polygons->text(), "Last Polygon Count: 4200");
}

TEST_F(ConfigSheetTest, BlankingTogglesTheMinutesControls) {
    const auto sheet = Sheet(store);
    QtSettingsPage* page = sheet->GeneralPage();
    EXPECT_FALSE(page->MinutesBox()->isEnabled());
    EXPECT_FALSE(page->MinutesLabel()->isEnabled());
    page->BlankBox()->click();
    EXPECT_TRUE(page->MinutesBox()->isEnabled());
    EXPECT_TRUE(page->MinutesLabel()->isEnabled());
    page->BlankBox()->click();
    EXPECT_FALSE(page->MinutesBox()->isEnabled());

    page->MinutesBox()->setValue(1);
    page->MinutesBox()->stepBy(-1);
    EXPECT_EQ(page->MinutesBox()->value(), 1) << "the arrows stop at 1";
}

TEST_F(ConfigSheetTest, EscapeCancelsAndWritesNothing) {
    const auto sheet = Sheet(store);
    const int writes = store.WriteCount();
    sheet->GeneralPage()->SpeedSlider()->setValue(90);
    sheet->ImagesPage()->AlphabeticalButton()->click();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(sheet.get(), &escape);
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_EQ(store.WriteCount(), writes);
    EXPECT_FALSE(store.Has("Speed"));
    EXPECT_EQ(settings->ImageOrder(), 0);
}

TEST_F(ConfigSheetTest, BadMinutesKeepTheSheetOpenOnGeneral) {
    const auto sheet = Sheet(store);
    sheet->GeneralPage()->MinutesBox()->findChild<QLineEdit*>()->setText("");
    sheet->Tabs()->setCurrentIndex(1);
    sheet->accept();
    EXPECT_NE(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(sheet->Tabs()->currentIndex(), 0);
    EXPECT_EQ(messages, std::vector<std::string>{"Kinetora: Please enter an integer between 0 "
                                                 "and 999."});
    EXPECT_FALSE(store.Has("BlankMinutes"));
}

TEST_F(ConfigSheetTest, OkWritesOnlyTheChangedGroupBesideASaversRecord) {
    TempDir dir;
    IniProfileStore sheetStore(dir.Path().string());
    sheetStore.WriteGroup({{"FramesPerSecond", 20}, {"Polygons", 2000}});
    IniProfileStore reopened(dir.Path().string());
    const auto sheet = Sheet(reopened);
    sheet->GeneralPage()->SpeedSlider()->setValue(80);

    // A full-screen run ends while the sheet is open and stores its record.
    IniProfileStore saver(dir.Path().string());
    saver.WriteGroup({{"FramesPerSecond", 13}, {"Polygons", 1300}});
    sheet->accept();
    EXPECT_EQ(sheet->result(), QDialog::Accepted);

    const IniProfileStore after(dir.Path().string());
    EXPECT_EQ(after.ReadInt("Speed", -1), 80);
    EXPECT_EQ(after.ReadInt("BlankMinutes", -1), 60);
    EXPECT_EQ(after.ReadInt("FramesPerSecond", -1), 13);
    EXPECT_EQ(after.ReadInt("Polygons", -1), 1300);
    EXPECT_EQ(after.ReadInt("ImageProb", -1), -1) << "the Images page changed nothing";
    EXPECT_EQ(after.ReadFolders(), "");
}

// A settings folder that cannot be made (a file stands in its place, which stops the
// superuser too): OK shows why in an error box, and the sheet stays open with the change.
TEST_F(ConfigSheetTest, OkThatCannotSaveShowsTheErrorAndStaysOpen) {
    TempDir dir;
    const std::string folder = (dir.Path() / "Tovenhall").string();
    testimages::WriteFile(folder, {'x'});
    IniProfileStore unusable(folder);
    const auto sheet = Sheet(unusable);
    sheet->GeneralPage()->SpeedSlider()->setValue(80);
    sheet->accept();
    EXPECT_NE(sheet->result(), QDialog::Accepted);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Error: The settings were not saved.", 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find("cannot make the settings folder " + folder), std::string::npos)
        << messages[0];
    EXPECT_EQ(sheet->GeneralPage()->SpeedSlider()->value(), 80);
    EXPECT_EQ(settings->Speed(), 50) << "memory holds what the store holds";
}

TEST_F(ConfigSheetTest, ImagesPageAddsRemovesAndPreviews) {
    TempDir dir;
    const std::string a = (dir.Path() / "a").string();
    const std::string b = (dir.Path() / "b").string();
    dir.Put("a/x.jpg");
    dir.Put("b/y.png");
    const auto sheet = Sheet(store, {a, b, a});
    QtImagesPage* page = sheet->ImagesPage();
    QListWidget* list = page->FolderList();
    for (int i = 0; i < 3; ++i)
        page->AddButton()->click();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text().toStdString(), b);
    EXPECT_TRUE(messages.empty());

    page->ImagesButton()->click();
    EXPECT_FALSE(page->StatusLine()->isHidden());
    EXPECT_EQ(page->StatusLine()->text(), "Please select a folder from the above list");
    list->setCurrentRow(1);
    page->ImagesButton()->click();
    EXPECT_TRUE(page->StatusLine()->isHidden());
    EXPECT_EQ(previews, std::vector<std::string>{b});

    page->RemoveButton()->click();
    EXPECT_EQ(list->count(), 1);
    EXPECT_EQ(list->currentRow(), 0) << "the new last entry";
    EXPECT_FALSE(page->StartAtFirstButton()->isEnabled());
    page->AlphabeticalButton()->click();
    EXPECT_TRUE(page->StartAtFirstButton()->isEnabled());
    page->ProbSlider()->setValue(5);
    page->ResetButton()->click();
    EXPECT_EQ(page->ProbSlider()->value(), 50);

    sheet->accept();
    EXPECT_EQ(store.ReadFolders(), a + "*");
    EXPECT_EQ(store.ReadInt("ImageOrder", -1), 1);
}

TEST_F(ConfigSheetTest, SearchKeepsTheSheetResponsiveAndCanBeStopped) {
    TempDir dir;
    for (int i = 0; i < 40; ++i) {
        const std::string folder = "d" + std::to_string(i) + "/";
        for (int j = 0; j < 25; ++j)
            dir.Put(folder + "f" + std::to_string(j) + (j == 0 && i % 4 == 0 ? ".jpg" : ".txt"));
    }
    const std::string root = dir.Path().string();
    const auto sheet = Sheet(store, {root, root});
    QtImagesPage* page = sheet->ImagesPage();

    page->SearchButton()->click();
    EXPECT_EQ(page->SearchButton()->text(), "Stop");
    EXPECT_FALSE(page->AddButton()->isEnabled());
    EXPECT_FALSE(page->RemoveAllButton()->isEnabled());
    page->SearchButton()->click();
    EXPECT_EQ(page->SearchButton()->text(), "S&earch...");
    EXPECT_TRUE(page->AddButton()->isEnabled());
    EXPECT_EQ(page->FolderList()->count(), 0);

    // The event loop keeps turning while the worker walks the tree.
    auto last = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration longest{};
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const auto now = std::chrono::steady_clock::now();
        longest = std::max(longest, now - last);
        last = now;
    });
    ticker.start(2);
    page->SearchButton()->click();
    ASSERT_TRUE(ProcessUntil([&] { return page->SearchButton()->text() == "S&earch..."; }));
    EXPECT_LT(longest, std::chrono::milliseconds(200));
    EXPECT_EQ(page->FolderList()->count(), 10);
    EXPECT_TRUE(page->StatusLine()->isHidden());
}

TEST_F(ConfigSheetTest, ClosingDuringASearchLeavesNothingBehind) {
    TempDir dir;
    for (int i = 0; i < 30; ++i)
        dir.Put("d" + std::to_string(i) + "/p.jpg");
    const int writes = store.WriteCount();
    {
        const auto sheet = Sheet(store, {dir.Path().string()});
        sheet->ImagesPage()->SearchButton()->click();
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents(); // calls the worker queued find no page
    // Closed without OK: whatever the search found by then, nothing reaches the store, nor
    // stays in the settings.
    EXPECT_EQ(store.WriteCount(), writes);
    EXPECT_TRUE(settings->Folders().empty());
}

TEST(QtPreviewDialog, FitsLargePicturesAndReportsBrokenOnes) {
    EnsureQtApp();
    TempDir dir;
    const auto grey = [](int, int) { return testimages::Rgb{90, 90, 90}; };
    dir.Put("big.bmp", testimages::Bmp24(1600, 1200, grey));
    dir.Put("small.bmp", testimages::Bmp24(120, 80, grey));
    dir.Put("broken.jpg", {0xFF, 0xD8, 0xFF, 0});

    QtPreviewDialog dialog(dir.Path().string());
    EXPECT_EQ(dialog.windowTitle(), "Images");
    EXPECT_EQ(dialog.StatusLine()->text(), "Select an image to view");
    dialog.Area()->setFixedSize(200, 150);
    const auto select = [&](const QString& name) {
        const QList<QListWidgetItem*> found = dialog.FileList()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        dialog.FileList()->setCurrentItem(found.front());
        dialog.Area()->grab(); // paints
    };
    select("big.bmp");
    EXPECT_EQ(dialog.StatusLine()->text(), "Size 1600 x 1200");
    EXPECT_EQ(dialog.Area()->LastDrawn(), QRect(0, 0, 200, 150));
    select("small.bmp");
    EXPECT_EQ(dialog.Area()->LastDrawn(), QRect(0, 0, 120, 80));
    select("broken.jpg");
    EXPECT_EQ(dialog.StatusLine()->text(),
              "Could not load the image. Perhaps it is 256 color format, rather than 24-bit.");
    EXPECT_TRUE(dialog.Area()->LastDrawn().isEmpty());
}
