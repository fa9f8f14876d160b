#pragma once
// The engine-wide session: the cipher every table shares, the passwords that opened tables
// during this run, the password prompt, and the database folder components still alive.

#include "engine/file/Sapphire.h"
#include "platform/AnsiString.h"

#include <cstdint>
#include <vector>

namespace cibrano {

class TComponent;

class TZerovSession {
public:
    TZerovSession();
    // Destroys the database components still registered (each unregisters itself on the way).
    ~TZerovSession();
    TZerovSession(const TZerovSession&) = delete;
    TZerovSession& operator=(const TZerovSession&) = delete;

    int maxPasswordTries = 3;

    TSapphire& cipher() { return cipher_; }

    // Adds a non-empty password not yet remembered; forgetPassword removes one when present.
    void rememberPassword(const AnsiString& password);
    void forgetPassword(const AnsiString& password);
    // Sorted by byte value (passwords are case-sensitive), no duplicates.
    const std::vector<AnsiString>& rememberedPasswords() const { return passwords_; }

    // The "Login password" prompt, pre-filled with `password`; true when confirmed, with the
    // typed text in `password`.
    bool askPassword(AnsiString& password);

    // Tries to open the 40-byte password block of an enciphered table: the table's own
    // password, then the remembered ones in list order, then up to maxPasswordTries prompts.
    // On success the block holds the plain GUID text and its CRC, and `password` the password
    // that opened it; on failure both are left as they were.
    bool checkTablePassword(uint8_t* block40, AnsiString& password);

    // Whether `candidate` opens the block; on a fit the block becomes the plain copy.
    bool tryPassword(uint8_t* block40, const AnsiString& candidate);

    void registerDatabase(TComponent* database);
    void unregisterDatabase(TComponent* database);
    const std::vector<TComponent*>& databases() const { return databases_; }

private:
    TSapphire cipher_;
    std::vector<AnsiString> passwords_;
    std::vector<TComponent*> databases_;
};

// The one engine-wide session, made on first use and destroyed at program end.
TZerovSession& session();

} // namespace cibrano
