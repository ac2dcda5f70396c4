#pragma once

#include <string>
#include <string_view>

namespace kasso {

// Passwords are kept as Argon2id hash strings (libsodium's crypto_pwhash_str, at its
// interactive limits): the salt and the limits travel inside the stored text.

// The stored form of password "0", the built-in account's password in a new shop and after a
// reset. A fixed salt costs nothing here: the login dialog prints this password for everyone.
inline constexpr const char* kDefaultPasswordHash =
    "$argon2id$v=19$m=65536,t=2,p=1$NcSKx5hpp7lGwE4EhMUUvg$"
    "f1/6JBZ/Kv9doLfxtXLdp1E0x/wUrcscx0RcCT2KBwc";

// The hash string of a password, with a fresh salt. Throws std::runtime_error when the
// library cannot work (out of memory).
std::string HashPassword(std::string_view password);

// True when the stored text is a hash string this program writes, rather than a password kept
// as typed by an older version.
bool IsPasswordHash(std::string_view stored);

// Whether the typed password matches the stored text: a hash is verified, anything else (an
// older file's plain password) is compared byte for byte, in constant time.
bool PasswordMatches(std::string_view stored, std::string_view typed);

// The text to store for a password that may arrive already hashed (a member file written by
// this program carries the hash): a hash is kept, anything else is hashed.
std::string StoredPassword(std::string_view password_or_hash);

}  // namespace kasso
