#ifndef CLIPASSWORD_H
#define CLIPASSWORD_H

#include <QCoreApplication>
#include <QString>

// Where the device password comes from. Never the command line, where other
// users can read it: a file, the environment, or a prompt without echo.
class CCliPassword
{
    Q_DECLARE_TR_FUNCTIONS(CCliPassword)

public:
    // The password from strFile when given, else CORVANE_PASSWORD, else a
    // prompt on the terminal. False with the reason when there is none.
    static bool read(const QString &strFile, QString &strPassword, QString &strError);
    // True for an argument that tries to pass a password on the command line.
    static bool isPasswordArgument(const QString &strArg);

private:
    static bool prompt(QString &strPassword);
};

#endif // CLIPASSWORD_H
