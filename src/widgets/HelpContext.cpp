#include "HelpContext.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* property = "helpContext";
}

void HelpContext::set(QWidget* widget, int context)
{
    widget->setProperty(property, context);
}

int HelpContext::own(const QWidget* widget)
{
    return widget ? widget->property(property).toInt() : 0;
}

int HelpContext::of(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const int context = own(w);
        if (context != 0)
            return context;
        if (w->isWindow())
            break;
    }
    return 0;
}
