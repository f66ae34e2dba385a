#pragma once

#include <QString>

// The files of a practice hold its patients' health data: the working folder and every
// folder of copies are readable by their owner only (0700), every database file, copy and
// export too (0600), whatever the umask of the process.
namespace PrivateFiles {

// Creates a new, empty file readable and writable by its owner only. Throws DatabaseError
// when it cannot, and when the file exists already (it is never overwritten).
void createFile(const QString& path);
// Creates a folder (and the folders above it that are missing) for its owner only; an
// existing one is tightened. Returns an empty text, or why it failed.
QString makeFolder(const QString& path);
// Takes the rights of the group and of others away from an existing file or folder (the
// owner's rights stay as they are). Does nothing to a missing one; false when it failed.
bool tighten(const QString& path);
// tighten() for a database file and its companions (-wal, -shm, -journal).
void tightenDatabase(const QString& file);

} // namespace PrivateFiles
