#include "NutriloApplication.h"

#include "AppError.h"
#include "UserServices.h"

NutriloApplication::NutriloApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool NutriloApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
