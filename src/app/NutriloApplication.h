#pragma once

#include <QApplication>

// The application object. Its notify() is the last safety net of the event loop: an
// exception that escapes an event handler goes to the general error report, and the
// application runs on.
class NutriloApplication : public QApplication {
    Q_OBJECT
public:
    NutriloApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
