#pragma once

#include <QWidget>

#include <functional>

class CSettingsPage;
class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;

// The General page's widgets over its behaviour (config/SettingsPage.h).
class QtSettingsPage : public QWidget {
public:
    QtSettingsPage(CSettingsPage& page, std::function<void()> help, QWidget* parent = nullptr);

    // Shows the behaviour's state.
    void Refresh();
    // Hands what the widgets show to the behaviour (before validation).
    void Commit();
    // Brings the minutes box forward after a failed validation.
    void FocusMinutes();

    QSlider* SpeedSlider() const { return m_pSpeed; }
    QCheckBox* BlankBox() const { return m_pBlank; }
    QSpinBox* MinutesBox() const { return m_pMinutes; }
    QLabel* MinutesLabel() const { return m_pMinutesLabel; }
    QLabel* FrameRateLine() const { return m_pFrameRate; }
    QLabel* PolygonsLine() const { return m_pPolygons; }

private:
    CSettingsPage& m_Page;
    QSlider* m_pSpeed = nullptr;
    QCheckBox* m_pBlank = nullptr;
    QSpinBox* m_pMinutes = nullptr;
    QLabel* m_pMinutesLabel = nullptr;
    QLabel* m_pFrameRate = nullptr;
    QLabel* m_pPolygons = nullptr;
};
