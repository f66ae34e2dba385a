#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class RecordStore;

// The daily copies of the database file: one `alimenti.mdb` holds a practice's every
// patient. At start-up, when the newest copy in the folder "backup" beside the file is a
// day old or more (or there is none), the file is copied while in use, as one moment saw
// it, into backup/alimenti-YYYYMMDD-HHMMSS.mdb (folder 0700, copy 0600), and only the 14
// newest copies are kept. A server database is backed up by its own administration.
namespace DatabaseBackup {

// How many copies are kept.
constexpr int kept = 14;

// The folder of the copies of a database file: "backup" beside it.
QString folderOf(const QString& databaseFile);
// The name of the copy made at that moment.
QString nameAt(const QDateTime& when);
// The names of the copies in a folder, newest first; other files are not copies.
QStringList backupsIn(const QString& folder);

// Makes the copy of the store's file when it is due, then removes the copies beyond the
// 14 newest. Returns an empty text, or the message that tells the user what failed (the
// copy, or the removal of an old one). Never throws; a server store is left alone.
QString makeDaily(const RecordStore& store, const QDateTime& now = QDateTime::currentDateTime());

} // namespace DatabaseBackup
