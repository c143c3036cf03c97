#include "passwordhash.h"

#include <sodium.h>

#include <stdexcept>

namespace fx::accounts {

namespace {

// Argon2id with 19 MiB and two passes, the smallest setting the usual guidance for password
// storage accepts: one verification stays well below what a person signing in notices (bench
// bench_history measures it) while every guess costs an attacker as much.
constexpr unsigned long long kOpsLimit = 2;
constexpr size_t kMemLimit = 19u * 1024u * 1024u;

void initialiseSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) throw std::runtime_error("libsodium could not be initialised");
}

}  // namespace

QString hashPassword(const QString& password) {
    if (password.isEmpty()) return QString();
    initialiseSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                              kOpsLimit, kMemLimit, crypto_pwhash_ALG_ARGON2ID13) != 0) {
        throw std::runtime_error("the password could not be hashed (out of memory)");
    }
    return QString::fromLatin1(out);
}

bool isPasswordHash(const QString& stored) {
    return stored.startsWith(QLatin1String(crypto_pwhash_argon2id_STRPREFIX));
}

bool passwordMatches(const QString& stored, const QString& typed) {
    if (stored.isEmpty()) return typed.isEmpty();
    if (!isPasswordHash(stored)) return stored == typed;
    initialiseSodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

bool needsHashing(const QString& stored) {
    return !stored.isEmpty() && !isPasswordHash(stored);
}

}  // namespace fx::accounts
