#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

// The splash window shown while the application starts: no frame, the splash picture
// stretched over a panel. It closes and releases itself 15 seconds after its creation
// (the timer fires only while the event loop runs). While it is shown it stays in front
// of the main window, which appears after it: it is raised again when the main window
// has been shown, becomes the active window or is clicked (which raises it on most
// desktops). It remains an ordinary window otherwise, not kept above other windows: a
// window opened later from the main window comes in front of it.
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
};

// The splash window while it lives.
extern Tsplash* splash;
