#include "NutriloApplication.h"

#include "AppError.h"
#include "ComboWheelRule.h"
#include "UserServices.h"

NutriloApplication::NutriloApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    ComboWheelRule::install(this);
}

bool NutriloApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    runGuarded([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
