#include "app/ClientUpdate.h"

#include "dataclient/UpdateSignature.h"
#include "dataclient/dbServerConnection.h"
#include "toolkit/Files.h"
#include "toolkit/Host.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QWidget>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace
{
const char *const AnotherCopyText = "I need to update this application but another copy is still running.\n"
                                    "Close any others that are running and restart, and this application "
                                    "will be updated.";
const char *const AnotherCopyCaption = "Another copy of this application is runnng.";
const char *const RenameErrorCaption = "Program rename error";
const char *const NotAppliedCaption = "Update not applied";

// Gives the download the permission bits of the running executable, so that it can be started.
void CopyModeBits(const std::string &from, const std::string &to)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::perms mode = fs::status(from, error).permissions();
    if (error || mode == fs::perms::unknown)
        mode = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read |
               fs::perms::others_exec;
    fs::permissions(to, mode & fs::perms::mask, fs::perm_options::replace, error);
}

// The bytes of a file of at most a few hundred bytes (a signature); "" when it is missing or
// larger, which no signature check accepts.
std::string ReadSmallFile(const std::string &path)
{
    constexpr std::size_t Limit = 256;
    std::string bytes(Limit + 1, '\0');
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::string();
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes.size() > Limit ? std::string() : bytes;
}
} // namespace

cClientUpdate::cClientUpdate(dbServerConnection *connection, const std::string &serverFileName,
                             const std::string &localFolder, QWidget *indicator,
                             QAbstractButton *updateButton, QProgressBar *progressBar,
                             const std::string &runningExecutable, const cUpdateChecks &checks)
    : Connection(connection), Indicator(indicator), UpdateButton(updateButton), ProgressBar(progressBar),
      LocalFolder(localFolder), ServerFileName(serverFileName),
      RunningExecutable(runningExecutable.empty() ? ExecutablePath() : runningExecutable), Checks(checks)
{
    UpdateCheck();
}

bool cClientUpdate::CameOverTrustedLink() const
{
    return Checks.CertificateSHA256.empty() ||
           (Connection && Connection->PeerCertificateSHA256() == Checks.CertificateSHA256);
}

void cClientUpdate::UpdateCheck()
{
    // The date of the file that was started, whatever its name.
    LocalDate = FileAge(RunningExecutable);
    ServerDate = Connection ? Connection->GetFileInfo(ServerFileName) : 0;
    ServerSize = Connection && ServerDate != 0 ? Connection->LastFileSize : 0;
    // An answer that came over a link to another certificate (a reconnect since the server was
    // trusted) announces nothing.
    if (!CameOverTrustedLink())
        ServerDate = 0;
    UpdateNeeded = ServerDate != 0 && LocalDate < ServerDate;
    if (!UpdateNeeded)
        return;
    if (Indicator)
        Indicator->show();
    if (UpdateButton)
    {
        UpdateButton->show();
        ButtonConnection = QObject::connect(UpdateButton, &QAbstractButton::clicked, [this] { RunUpdate(); });
    }
}

cClientUpdate::~cClientUpdate()
{
    QObject::disconnect(ButtonConnection);
    if (Indicator)
        Indicator->hide();
    if (UpdateButton)
        UpdateButton->hide();
    if (ProgressBar)
        ProgressBar->hide();
}

bool cClientUpdate::RunUpdate()
{
    if (UpdateButton)
        UpdateButton->hide();
    if (Indicator)
        Indicator->hide();
    if (ProgressBar)
        ProgressBar->show();
    Host().SetBusyCursor(true);
    // The progress bar and the busy cursor are drawn before the download; no input runs.
    Host().RepaintWindows();
    const cUpdatePaths paths = UpdatePaths();
    if (!DownloadNewCopy(paths))
        return false;
    return SwapInNewCopy(paths);
}

cClientUpdate::cUpdatePaths cClientUpdate::UpdatePaths()
{
    // "Clients\DorvaneProvider.exe" gives "DorvaneProvider.exe" whichever separator it uses.
    LocalFileName = ExtractFileName(ServerFileName);
    const std::string baseName =
        LocalFileName.substr(0, LocalFileName.size() >= 4 ? LocalFileName.size() - 4 : 0);
    return {LocalFolder + baseName + ".tmp", LocalFolder + baseName + ".bak", LocalFolder + LocalFileName,
            LocalFolder + baseName + ".sig"};
}

bool cClientUpdate::DownloadNewCopy(const cUpdatePaths &paths)
{
    if (FileExists(paths.Temporary))
        DeleteFile(paths.Temporary);
    cQtProgressSink sink(ProgressBar);
    if (!Connection ||
        !Connection->DownloadFile(ServerFileName, paths.Temporary, ProgressBar ? &sink : nullptr))
    {
        // A broken or stalled download leaves nothing half-written behind.
        DeleteFile(paths.Temporary);
        Host().SetBusyCursor(false);
        return false;
    }
    std::string why;
    if (!DownloadAccepted(paths.Temporary, paths.Signature, why))
    {
        DeleteFile(paths.Temporary);
        if (ProgressBar)
            ProgressBar->hide();
        Host().SetBusyCursor(false);
        Host().MessageBox("This program was not updated: " + why + ".\nThe present copy goes on running.",
                          NotAppliedCaption, cHostButtons::Ok);
        return false;
    }
    CopyModeBits(RunningExecutable, paths.Temporary);
    return true;
}

bool cClientUpdate::SwapInNewCopy(const cUpdatePaths &paths)
{
    DeleteFile(paths.Backup); // may well not exist
    if (!RenameFile(paths.Executable, paths.Backup))
    {
        Host().SetBusyCursor(false);
        Host().MessageBox(AnotherCopyText, AnotherCopyCaption, cHostButtons::Ok);
        Host().Terminate();
        return true;
    }
    if (!RenameFile(paths.Temporary, paths.Executable))
    {
        Host().SetBusyCursor(false);
        Host().MessageBox("Unable to complete update.  You will need to manually\nrename " + paths.Temporary +
                              " to " + paths.Executable + "\nAfter that you can restart this program.",
                          RenameErrorCaption, cHostButtons::Ok);
        return false;
    }
    if (ProgressBar)
        ProgressBar->hide();
    Host().StartProgram(paths.Executable);
    Host().SetBusyCursor(false);
    Host().Terminate();
    return true;
}

bool cClientUpdate::DownloadAccepted(const std::string &temporaryPath, const std::string &signaturePath,
                                     std::string &why)
{
    const long long size = FileSize(temporaryPath);
    if (ServerSize > 0 && size != ServerSize)
    {
        why = size < 0 ? std::string("the downloaded copy has gone")
                       : "the downloaded copy holds " + std::to_string(size) + " bytes, not the " +
                             std::to_string(ServerSize) + " the server announced";
        return false;
    }
    if (!CameOverTrustedLink())
    {
        why = "the data server's certificate changed during the download";
        return false;
    }
    if (Checks.PublicKeyPem.empty())
        return true;
    // The signature lies beside the copy in the file area; its download is the one request that
    // a build with a key adds.
    const std::string signatureName = ServerFileName + ".sig";
    const bool downloaded = Connection->DownloadFile(signatureName, signaturePath);
    const std::string signature = downloaded ? ReadSmallFile(signaturePath) : std::string();
    DeleteFile(signaturePath);
    if (!downloaded)
    {
        why = "the server holds no signature for it (" + signatureName + ")";
        return false;
    }
    return VerifyFileSignature(Checks.PublicKeyPem, temporaryPath, signature, why);
}
