#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>

// The console's command line for following a station service instead of owning the port:
// "--remote http://host:8470" and, for a service that wants one, "--token-file <file>" (each
// also as "--option=value"). Other arguments are left to the rest of the program.
class clsOpcionesRemoto {
public:
    // Exit codes of a command line that cannot be followed (as sysexits.h names them).
    static constexpr int iSALIDA_USO = 64;         // EX_USAGE: a bad or missing argument
    static constexpr int iSALIDA_SIN_ENTRADA = 66; // EX_NOINPUT: the token file cannot be read
    // A token file longer than this is not a token.
    static constexpr qint64 iTOKEN_MAXIMO = 4096;

    // Reads the options from the program's arguments (the first is the program).
    static clsOpcionesRemoto opcfntDeArgumentos(const QStringList& argumentos);

    // The URL of the service's live feed: ws:// for http://, wss:// for https://, the path
    // followed by /api/live. Empty, with the reason in *strError, for a URL that is not an
    // http(s) address of a service (no host, a user or password, a query or a fragment).
    static QUrl urlfntAlimentacion(const QUrl& urlServicio, QString* strError);

    // Reads the token: the file's first line without surrounding white space. False, with the
    // reason in *strError, for a file that cannot be read, is too long or holds no token. The
    // token itself never goes into the reason.
    static bool bfntLeeToken(const QString& strArchivo, QByteArray* bytToken, QString* strError);

    bool bRemoto = false;
    QUrl urlServicio;
    QString strArchivoToken;
    // Why the command line cannot be followed; empty when it can.
    QString strError;
};
