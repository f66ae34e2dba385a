#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

// The splash window shown while the application starts: no frame, the splash picture
// stretched over a panel. It closes and releases itself 15 seconds after its creation
// (the timer fires only while the event loop runs).
class Tsplash : public QWidget {
    Q_OBJECT
public:
    explicit Tsplash(QWidget* parent = nullptr);

    QTimer* Timer1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Image1 = nullptr;

    void Timer1Timer();
};

// The splash window while it lives.
extern Tsplash* splash;
