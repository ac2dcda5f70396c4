#include "core/common/password.h"

#include <sodium.h>

#include <stdexcept>

namespace kasso {
namespace {

constexpr std::string_view kHashPrefix = "$argon2id$";

void StartLibrary() {
  // Safe to call more than once; it fails only when the system has no source of randomness.
  static const bool ready = sodium_init() >= 0;
  if (!ready) throw std::runtime_error("libsodium cannot start");
}

}  // namespace

std::string HashPassword(std::string_view password) {
  StartLibrary();
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(out, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
    throw std::runtime_error("password hashing ran out of memory");
  }
  return out;
}

bool IsPasswordHash(std::string_view stored) {
  return stored.starts_with(kHashPrefix) && stored.size() < crypto_pwhash_STRBYTES;
}

bool PasswordMatches(std::string_view stored, std::string_view typed) {
  StartLibrary();
  if (IsPasswordHash(stored)) {
    // crypto_pwhash_str_verify needs the hash as a terminated string.
    std::string hash(stored);
    return crypto_pwhash_str_verify(hash.c_str(), typed.data(), typed.size()) == 0;
  }
  if (stored.size() != typed.size()) return false;
  return stored.empty() || sodium_memcmp(stored.data(), typed.data(), stored.size()) == 0;
}

std::string StoredPassword(std::string_view password_or_hash) {
  if (IsPasswordHash(password_or_hash)) return std::string(password_or_hash);
  return HashPassword(password_or_hash);
}

}  // namespace kasso
