// The test programs' main: an exception that escapes a test function is a failure with its
// message, and the program ends normally with a failing exit code instead of aborting.
// Run by CTest, which expects the failure's report in the output.
#include "AppError.h"
#include "TestMain.h"

#include <QtTest>

class TestMainException : public QObject {
    Q_OBJECT
private slots:
    void escapingException() { throw AppError(QStringLiteral("Immagine non leggibile: prova")); }
};

NUTRILO_TEST_MAIN(TestMainException)
#include "test_main_exception.moc"
