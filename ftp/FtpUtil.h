#pragma once
// The control's FTP client: one connection to one server, shared by every
// control of the process, moving whole files in binary mode. Every operation
// answers success as a boolean and never raises.
#include <cstdint>
#include <memory>
#include <string>

#include "ftp/InternetSession.h"

namespace vellomar {

class TFtpUtiler {
public:
    // The utility works through 'library', which it owns.
    explicit TFtpUtiler(std::unique_ptr<IInternetSession> library);
    // Closes the connection and session it still holds.
    virtual ~TFtpUtiler();
    TFtpUtiler(const TFtpUtiler&) = delete;
    TFtpUtiler& operator=(const TFtpUtiler&) = delete;

    // Closes a held connection, stores the server (a port text that is not
    // a whole number gives 21) and connects at once; FConnected tells how
    // that went.
    void SetParams(const std::string& host, const std::string& portText,
                   const std::string& userName, const std::string& password);
    // Opens a session and connects with the stored values; true when
    // connected. A failed attempt closes what it opened.
    bool Connect();
    // Closes the connection, then the session; always true.
    bool Disconnect();

    // Creates the remote folders of 'remotePath', then puts the local file.
    bool Upload(const std::string& localPath, const std::string& remotePath);
    // Creates the local folders of 'localPath', then gets the remote file.
    // The transfer goes to a temporary file beside the local copy, which is
    // replaced only when the transfer succeeded.
    bool Download(const std::string& localPath, const std::string& remotePath);
    bool DeleteRemoteFile(const std::string& remotePath);
    bool CreateRemoteDir(const std::string& remoteDir);
    // Creates every folder level of a remote file path, top down; true when
    // every creation succeeded (an existing level counts as a failure).
    bool ForceRemoteDirs(const std::string& remotePath);
    // Creates every missing folder level of a local file path, top down;
    // true when every needed creation succeeded.
    bool ForceLocalDirs(const std::string& localPath);

    // The number of backslashes and slashes in 'path'.
    static int32_t SeparatorCount(const std::string& path);
    // The text before the k-th backslash or slash of 'path', or the whole
    // path when it holds fewer than k separators.
    static std::string PathBeforeSeparator(int32_t k, const std::string& path);

private:
    // Declared first so that it outlives the handles below.
    std::unique_ptr<IInternetSession> FLibrary;

public:
    TInternetHandle FSession;
    TInternetHandle FConnection;
    std::string FHost;
    std::string FUserName;
    std::string FPassword;
    int32_t FPort = 0;
    bool FConnected = false;
};

// The process-wide utility over the system's internet library, created on
// first use.
TFtpUtiler& GetFtpUtiler();
// Frees it when the module is unloaded: on an unload by FreeLibrary it
// closes what it holds; at process exit the internet library may no longer
// be called, so the utility is left to the system with its handles.
void FreeFtpUtiler(bool processExiting);

}  // namespace vellomar
