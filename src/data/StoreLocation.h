#pragma once

#include <QString>
#include <memory>

class RecordStore;

// Where the application keeps its rows: the database file in the working directory, or a
// PostgreSQL database named by the environment variable NUTRILO_DATABASE.
namespace StoreLocation {

// The name of the environment variable that names a server database.
inline const char* variable()
{
    return "NUTRILO_DATABASE";
}

// NUTRILO_DATABASE when it is set, else `file`. Throws DatabaseError when the variable
// holds something other than a PostgreSQL URI, so that a workstation meant for the server
// never quietly works on a file of its own.
QString chosen(const QString& file);

// Opens the store at a location: a PostgreSQL URI or a file name. Throws DatabaseError.
std::unique_ptr<RecordStore> open(const QString& location);

// A location as messages quote it: any text that may be a URI (a misspelt scheme, a port
// out of range, a connection string included) with every password taken out: the
// password of the user part goes ("utente:segreta@server" reads "utente@server") and the
// value of a `password` option reads "***". Other texts are returned as they are.
QString shown(const QString& location);

} // namespace StoreLocation
