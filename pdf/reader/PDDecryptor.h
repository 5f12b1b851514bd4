#pragma once
// PDDecryptor: the standard security handler of an encrypted file, opened with the
// empty user password (revisions 2 to 4 with RC4 or AES-128, revisions 5 and 6
// with AES-256).
//
// Open checks the empty password against /U and derives the file key; from then
// on strings and stream data of each object are decrypted with the key of that
// object (RC4 and AES-128) or the file key (AES-256). Ciphers and digests come
// from libcrypto. The decryptor is owned by the input document.
// Failure: Open yields none with a diagnostic when the file needs a password or
// uses a handler, revision or cipher not read here; Decrypt yields false for data
// that cannot be decrypted (an AES block cut short or bad padding).
#include <cstdint>
#include <memory>
#include <string>

#include "pdf/object/PDValue.h"

namespace folian {

class PDDecryptor {
public:
  enum class Cipher { kNone, kRC4, kAES128, kAES256 };

  // `encrypt` is the /Encrypt dictionary, `firstId` the raw bytes of the first
  // file identifier.
  static std::unique_ptr<PDDecryptor> Open(const PDValue& encrypt, const std::string& firstId);

  // Decrypts the strings in the tree of object `number` (generation `generation`)
  // in place; strings inside object streams are not encrypted and are not passed here.
  [[nodiscard]] bool DecryptStrings(PDValue& value, int32_t number, int32_t generation) const;
  // Decrypts stream data of object `number` in place.
  [[nodiscard]] bool DecryptStream(const PDValue& root, std::vector<char>& data, int32_t number,
                                   int32_t generation) const;

  [[nodiscard]] int32_t Revision() const { return m_revision; }

private:
  PDDecryptor() = default;
  [[nodiscard]] bool Authenticate(const PDValue& encrypt, const std::string& firstId);
  [[nodiscard]] bool Apply(Cipher cipher, std::string& data, int32_t number, int32_t generation) const;
  std::string ObjectKey(Cipher cipher, int32_t number, int32_t generation) const;

  int32_t m_revision = 0;
  std::string m_key;
  Cipher m_strings = Cipher::kNone;
  Cipher m_streams = Cipher::kNone;
  bool m_encryptMetadata = true;
};

}  // namespace folian
