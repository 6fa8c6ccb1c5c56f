#pragma once

#include <QWidget>

#include <functional>

class CImagesPage;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;

// The Images page's widgets over its behaviour (config/ImagesPage.h).
class QtImagesPage : public QWidget {
public:
    QtImagesPage(CImagesPage& page, std::function<void()> help, QWidget* parent = nullptr);
    ~QtImagesPage() override;

    // Shows the behaviour's state.
    void Refresh();

    QListWidget* FolderList() const { return m_pList; }
    QPushButton* AddButton() const { return m_pAdd; }
    QPushButton* RemoveButton() const { return m_pRemove; }
    QPushButton* RemoveAllButton() const { return m_pRemoveAll; }
    QPushButton* SearchButton() const { return m_pSearch; }
    QPushButton* ImagesButton() const { return m_pImages; }
    QPushButton* StartAtFirstButton() const { return m_pStartAtFirst; }
    QPushButton* ResetButton() const { return m_pReset; }
    QSlider* ProbSlider() const { return m_pProb; }
    QRadioButton* RandomButton() const { return m_pRandom; }
    QRadioButton* AlphabeticalButton() const { return m_pAlphabetical; }
    QLabel* StatusLine() const { return m_pStatus; }

private:
    QPushButton* Button(const char* text, const char* tip, const char* name,
                        std::function<void(CImagesPage&)> command);

    CImagesPage& m_Page;
    QListWidget* m_pList = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pRemove = nullptr;
    QPushButton* m_pRemoveAll = nullptr;
    QPushButton* m_pSearch = nullptr;
    QPushButton* m_pImages = nullptr;
    QPushButton* m_pStartAtFirst = nullptr;
    QPushButton* m_pReset = nullptr;
    QSlider* m_pProb = nullptr;
    QRadioButton* m_pRandom = nullptr;
    QRadioButton* m_pAlphabetical = nullptr;
    QLabel* m_pStatus = nullptr;
};
