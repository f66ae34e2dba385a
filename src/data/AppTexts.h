#pragma once

#include <QString>

// Texts shared across the windows.
namespace AppTexts {
// The application title: task bar, plain message boxes, the general error report.
inline QString applicationTitle()
{
    return QStringLiteral("Nutrilo 1.1");
}
// The main window's caption and the caption of every message dialog.
inline QString dialogCaption()
{
    return QStringLiteral("Nutrilo 1.0");
}
// The help file named at start-up.
inline QString helpFile()
{
    return QStringLiteral("Nutrilo1.hlp");
}
// The database file, in the working directory.
inline QString databaseFile()
{
    return QStringLiteral("alimenti.mdb");
}
// The picture shown for a person without a photo, in the working directory.
inline QString defaultPicture()
{
    return QStringLiteral("default.jpg");
}
} // namespace AppTexts
