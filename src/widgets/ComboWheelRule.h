#pragma once

#include <QObject>

class QCoreApplication;

// The rule of the mouse wheel for every combo box of the application: a combo box never
// takes the focus from the wheel, and the wheel over one that does not have the focus
// goes to what lies under it (the page scrolls), so its value changes only through its
// list or by typing. Installed once on the application object.
class ComboWheelRule : public QObject {
    Q_OBJECT
public:
    static void install(QCoreApplication* app);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
