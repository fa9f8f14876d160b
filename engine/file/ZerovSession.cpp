#include "engine/file/ZerovSession.h"

#include "engine/file/Crc16.h"
#include "engine/file/FileConst.h"
#include "platform/Component.h"
#include "platform/UiServices.h"

#include <algorithm>
#include <cstring>

namespace cibrano {

namespace {

constexpr size_t kBlockSize = 40;
constexpr size_t kGuidTextSize = 38;

} // namespace

// GUIDs for the per-save body key come from platform/Guid, which needs no per-thread library
// set-up, so the session has nothing to initialise or release for them.
TZerovSession::TZerovSession() = default;

TZerovSession::~TZerovSession() {
    // Each database unregisters itself from its destructor; taking it off the list first
    // means one that does not is still deleted only once.
    while (!databases_.empty()) {
        TComponent* database = databases_.back();
        databases_.pop_back();
        delete database;
    }
    for (auto& p : passwords_)
        wipeSecret(p.data(), p.size());
}

void TZerovSession::rememberPassword(const AnsiString& password) {
    if (password.empty())
        return;
    auto it = std::lower_bound(passwords_.begin(), passwords_.end(), password);
    if (it == passwords_.end() || *it != password)
        passwords_.insert(it, password);
}

void TZerovSession::forgetPassword(const AnsiString& password) {
    auto it = std::lower_bound(passwords_.begin(), passwords_.end(), password);
    if (it != passwords_.end() && *it == password)
        passwords_.erase(it);
}

bool TZerovSession::askPassword(AnsiString& password) {
    return uiServices().askPassword(password);
}

bool TZerovSession::tryPassword(uint8_t* block40, const AnsiString& candidate) {
    uint8_t copy[kBlockSize];
    std::memcpy(copy, block40, kBlockSize);
    cipher_.setKey(candidate);
    cipher_.decipher(copy, kGuidTextSize);
    // The CRC alone lets one wrong password in 65536 through; the braces of the GUID text
    // make such a false fit (which would decipher the body into garbage) far less likely.
    bool fits = crc16(copy, kBlockSize) == 0 && copy[0] == '{' && copy[kGuidTextSize - 1] == '}';
    if (fits)
        std::memcpy(block40, copy, kBlockSize);
    wipeSecret(copy, sizeof copy);
    return fits;
}

bool TZerovSession::checkTablePassword(uint8_t* block40, AnsiString& password) {
    if (!password.empty() && tryPassword(block40, password))
        return true;

    for (const AnsiString& remembered : passwords_) {
        if (tryPassword(block40, remembered)) {
            password = remembered;
            return true;
        }
    }

    // Each prompt is pre-filled with the previous answer, so a mistyped password can be
    // corrected rather than typed again.
    AnsiString answer = password;
    for (int attempt = 1; attempt <= maxPasswordTries; ++attempt) {
        if (!askPassword(answer))
            return false;
        if (tryPassword(block40, answer)) {
            rememberPassword(answer);
            password = answer;
            return true;
        }
        if (attempt < maxPasswordTries)
            uiServices().showWarning(applicationTitle(), msg::PasswordInvalidTryAgain);
    }
    return false;
}

void TZerovSession::registerDatabase(TComponent* database) {
    if (database && std::find(databases_.begin(), databases_.end(), database) == databases_.end())
        databases_.push_back(database);
}

void TZerovSession::unregisterDatabase(TComponent* database) {
    auto it = std::find(databases_.begin(), databases_.end(), database);
    if (it != databases_.end())
        databases_.erase(it);
}

namespace {

// A plain pointer is never destroyed, so the session stays reachable while it is being torn
// down: the databases it deletes then still find it to unregister from.
TZerovSession*& sessionInstance() {
    static TZerovSession* instance = nullptr;
    return instance;
}

struct SessionEnd {
    ~SessionEnd() {
        delete sessionInstance();
        sessionInstance() = nullptr;
    }
};

} // namespace

TZerovSession& session() {
    TZerovSession*& instance = sessionInstance();
    if (!instance) {
        // Registered on first use, so the session outlives everything made after it.
        static SessionEnd end;
        instance = new TZerovSession;
    }
    return *instance;
}

} // namespace cibrano
