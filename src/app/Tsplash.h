#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

// The splash window shown while the application starts: no frame, the splash picture
// stretched over a panel. It closes and releases itself 15 seconds after its creation
// (the timer fires only while the event loop runs). While it is shown it stays in front
// of the main window, which appears after it: once the main window is shown the splash
// becomes a window belonging to it, which window managers keep above it as they keep its
// dialogs (a dialog opened later still comes above the splash). It is not kept above
// other applications' windows.
class Tsplash : public QWidget {
    Q_OBJECT
public:
    explicit Tsplash(QWidget* parent = nullptr);

    QTimer* Timer1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;

    void Timer1Timer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stayInFrontOf(QWidget* window);
};

// The splash window while it lives.
extern Tsplash* splash;
