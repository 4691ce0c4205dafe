#pragma once
// A recording stand-in for the internet library, for tests only. Its state
// lives apart from the session, so a test still reads it after the FTP
// utility that owns the session is gone.
#include <cstdint>
#include <fstream>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ftp/InternetSession.h"

namespace vellomar::testing {

struct TFakeInternetState {
    // How the fake answers.
    bool OpenSucceeds = true;
    bool ConnectSucceeds = true;
    bool PutSucceeds = true;
    bool DeleteSucceeds = true;
    // A successful get writes RemoteContent to the local path; a failing one
    // writes PartialContent (when not empty) and fails, like a cut transfer.
    bool GetSucceeds = true;
    std::string RemoteContent = "remote picture bytes";
    std::string PartialContent;
    // Creating one of these fails, as the server refuses an existing folder.
    std::set<std::string> ExistingRemoteDirs;
    // Every call raises instead of answering.
    bool Throws = false;

    // What the fake saw: one line per call, handles written as #n.
    std::vector<std::string> Calls;
    std::set<uintptr_t> OpenHandles;
    int BadCloses = 0;  // closes of a handle that was not open
    std::string LastGetLocalPath;
};

class TFakeInternetSession final : public IInternetSession {
public:
    explicit TFakeInternetSession(std::shared_ptr<TFakeInternetState> state)
        : FState(std::move(state)) {}

    TInternetHandleValue OpenSession(const std::string& agent, uint32_t accessType,
                                     uint32_t flags) override {
        Record("OpenSession(" + agent + ", " + std::to_string(accessType) + ", " +
               std::to_string(flags) + ")");
        return FState->OpenSucceeds ? NewHandle() : nullptr;
    }

    TInternetHandleValue Connect(TInternetHandleValue session, const std::string& host,
                                 uint16_t port, const std::string& userName,
                                 const std::string& password, uint32_t service, uint32_t flags,
                                 uintptr_t context) override {
        Record("Connect(" + Name(session) + ", " + host + ", " + std::to_string(port) + ", " +
               userName + ", " + password + ", " + std::to_string(service) + ", " +
               std::to_string(flags) + ", " + std::to_string(context) + ")");
        return FState->ConnectSucceeds ? NewHandle() : nullptr;
    }

    bool Close(TInternetHandleValue handle) override {
        Record("Close(" + Name(handle) + ")");
        if (FState->OpenHandles.erase(reinterpret_cast<uintptr_t>(handle)) == 0) {
            ++FState->BadCloses;
            return false;
        }
        return true;
    }

    bool PutFile(TInternetHandleValue connection, const std::string& localPath,
                 const std::string& remotePath, uint32_t flags, uintptr_t context) override {
        Record("PutFile(" + Name(connection) + ", " + localPath + ", " + remotePath + ", " +
               std::to_string(flags) + ", " + std::to_string(context) + ")");
        return FState->PutSucceeds;
    }

    bool GetFile(TInternetHandleValue connection, const std::string& remotePath,
                 const std::string& localPath, bool failIfExists, uint32_t attributes,
                 uint32_t flags, uintptr_t context) override {
        Record("GetFile(" + Name(connection) + ", " + remotePath + ", <local>, " +
               std::to_string(failIfExists) + ", " + std::to_string(attributes) + ", " +
               std::to_string(flags) + ", " + std::to_string(context) + ")");
        FState->LastGetLocalPath = localPath;
        const std::string& content =
            FState->GetSucceeds ? FState->RemoteContent : FState->PartialContent;
        if (FState->GetSucceeds || !content.empty()) {
            std::ofstream(localPath, std::ios::binary | std::ios::trunc) << content;
        }
        return FState->GetSucceeds;
    }

    bool DeleteRemoteFile(TInternetHandleValue connection,
                          const std::string& remotePath) override {
        Record("DeleteRemoteFile(" + Name(connection) + ", " + remotePath + ")");
        return FState->DeleteSucceeds;
    }

    bool CreateRemoteDir(TInternetHandleValue connection, const std::string& remoteDir) override {
        Record("CreateRemoteDir(" + Name(connection) + ", " + remoteDir + ")");
        // A server refuses an empty name and a folder that exists.
        return !remoteDir.empty() && FState->ExistingRemoteDirs.insert(remoteDir).second;
    }

private:
    void Record(const std::string& call) {
        FState->Calls.push_back(call);
        if (FState->Throws) throw std::runtime_error("fake internet library raised");
    }
    TInternetHandleValue NewHandle() {
        const uintptr_t id = ++FLastHandle;
        FState->OpenHandles.insert(id);
        return reinterpret_cast<TInternetHandleValue>(id);
    }
    static std::string Name(TInternetHandleValue handle) {
        return "#" + std::to_string(reinterpret_cast<uintptr_t>(handle));
    }

    std::shared_ptr<TFakeInternetState> FState;
    uintptr_t FLastHandle = 0;
};

}  // namespace vellomar::testing
