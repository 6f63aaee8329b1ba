// The self-update: compares the date of the running executable with the copy the data server
// keeps, and replaces the executable by a newer copy, then starts it and ends this program.
#pragma once

#include "app/QtHost.h"

#include <QMetaObject>
#include <cstdint>
#include <string>

class QAbstractButton;
class QProgressBar;
class QWidget;
class dbServerConnection;

// What a downloaded copy must show besides a newer date before it replaces the executable.
struct cUpdateChecks
{
    // The certificate (SHA-256 hex) the data server showed when it was trusted; every exchange of
    // the update must have come over a link showing it. "": the link's own pin (if any) decides.
    std::string CertificateSHA256;
    // The update-signing public key (PEM). When set, the file area must also hold SERVERFILE.sig,
    // a valid Ed25519 signature of exactly the downloaded bytes. "": no signature is asked for.
    std::string PublicKeyPem;
};

class cClientUpdate
{
public:
    // UpdateCheck: stores its arguments and asks the server for the date of serverFileName.
    // localFolder ends with a separator. runningExecutable is the full path of the file that was
    // started; empty means this process's own executable.
    cClientUpdate(dbServerConnection *connection, const std::string &serverFileName,
                  const std::string &localFolder, QWidget *indicator, QAbstractButton *updateButton,
                  QProgressBar *progressBar, const std::string &runningExecutable = "",
                  const cUpdateChecks &checks = {});
    // Hides the indicator, the update button and the progress bar, where given.
    ~cClientUpdate();
    cClientUpdate(const cClientUpdate &) = delete;
    cClientUpdate &operator=(const cClientUpdate &) = delete;

    // Downloads and swaps the executable. Returns true when it told the program to end (the new
    // copy was started, or the running copy could not be moved aside); false when the update was
    // not possible and the program runs on. A download that fails the checks is deleted and the
    // user is told why.
    bool RunUpdate();

    bool UpdateNeeded = false;

    dbServerConnection *Connection = nullptr; // not owned
    QWidget *Indicator = nullptr;
    QAbstractButton *UpdateButton = nullptr;
    QProgressBar *ProgressBar = nullptr;
    std::string LocalFolder;
    std::string ServerFileName;
    std::string LocalFileName;
    std::string RunningExecutable;
    std::int32_t LocalDate = -1;
    std::int32_t ServerDate = 0;
    // The size the file information gave for the server's copy (0: none given).
    long long ServerSize = 0;
    cUpdateChecks Checks;

private:
    void UpdateCheck();
    // True when every exchange so far came over a link showing the trusted certificate.
    bool CameOverTrustedLink() const;
    // The checks of a finished download at temporaryPath: its size, the link, and the signature
    // (downloaded beside it and removed again). False with `why` in words for the user.
    bool DownloadAccepted(const std::string &temporaryPath, const std::string &signaturePath,
                          std::string &why);
    // Where the update puts its files, beside the running copy.
    struct cUpdatePaths
    {
        std::string Temporary, Backup, Executable, Signature;
    };
    cUpdatePaths UpdatePaths();
    // The download into Temporary and its checks; false (nothing left behind) when not taken.
    bool DownloadNewCopy(const cUpdatePaths &paths);
    // The running copy becomes the backup and the download the executable, which is started.
    bool SwapInNewCopy(const cUpdatePaths &paths);
    QMetaObject::Connection ButtonConnection;
};
