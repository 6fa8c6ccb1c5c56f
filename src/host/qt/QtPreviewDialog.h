#pragma once

#include <QDialog>
#include <QImage>

#include <memory>
#include <string>

class CPreviewDialog;
class QLabel;
class QListWidget;

// Where the preview draws: the picture at its fitted size in the top-left corner, on the
// button-face colour.
class QtPreviewArea : public QWidget {
public:
    explicit QtPreviewArea(QWidget* parent = nullptr);
    void SetPicture(QImage picture);
    // The rectangle the last paint drew the picture into (empty when none).
    QRect LastDrawn() const { return m_LastDrawn; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_Picture;
    QRect m_LastDrawn;
};

// The image preview of one folder (behaviour in config/PreviewDialog.h).
class QtPreviewDialog : public QDialog {
public:
    explicit QtPreviewDialog(const std::string& folder, QWidget* parent = nullptr);
    ~QtPreviewDialog() override;

    QListWidget* FileList() const { return m_pList; }
    QLabel* StatusLine() const { return m_pStatus; }
    QtPreviewArea* Area() const { return m_pArea; }

private:
    void OnSelect(int row);

    std::unique_ptr<CPreviewDialog> m_pPreview;
    QListWidget* m_pList = nullptr;
    QLabel* m_pStatus = nullptr;
    QtPreviewArea* m_pArea = nullptr;
};
