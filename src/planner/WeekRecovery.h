#pragma once

#include "WeeklyPlanner.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// A week that could not be saved when the application ended (the server did not answer),
// kept in a recovery file of the working folder, "recupero-<ID>.json" (0600): the person's
// ID and name, when it was kept, and every slot's food and grams as the grid showed them.
// The next start offers to put it back into the grid as unsaved changes.
namespace WeekRecovery {

struct Week {
    qint64 person = 0;
    QString name;
    QDateTime kept;
    WeeklyPlanner::WeekTexts slotTexts; // slot number -> food and grams text
};

// "recupero-12.json".
QString fileName(qint64 person);
// Writes the week into its recovery file in `folder`, replacing an older one of the same
// person whole (written under another name first, readable by its owner only); returns
// the file's path. Throws AppError saying why it could not.
QString write(const QString& folder, const Week& week);
// The recovery files of `folder`, by name.
QStringList found(const QString& folder);
// Reads a recovery file. Throws AppError when it cannot be read or is not one.
Week read(const QString& path);

} // namespace WeekRecovery
