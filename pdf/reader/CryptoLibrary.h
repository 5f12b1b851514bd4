#pragma once
// CryptoLibrary: the functions of libcrypto that decryption uses, loaded when
// the first encrypted file is opened rather than with this library. Most runs
// never decrypt, and loading libcrypto at start cost every run about half a
// millisecond of symbol binding.
//
// Failure: Get() yields none, with a diagnostic each time it is asked, when
// libcrypto.so.3 cannot be loaded or lacks a function; encrypted files then
// cannot be read, and say so.
#define OPENSSL_SUPPRESS_DEPRECATED  // RC4 lives only in the low-level interface of libcrypto 3
#include <openssl/evp.h>
#include <openssl/rc4.h>

namespace folian {

struct CryptoLibrary {
  decltype(&::EVP_Digest) Digest;
  decltype(&::EVP_md5) Md5;
  decltype(&::EVP_sha256) Sha256;
  decltype(&::EVP_sha384) Sha384;
  decltype(&::EVP_sha512) Sha512;
  decltype(&::RC4_set_key) Rc4SetKey;
  decltype(&::RC4) Rc4;
  decltype(&::EVP_CIPHER_CTX_new) CipherNew;
  decltype(&::EVP_CIPHER_CTX_free) CipherFree;
  decltype(&::EVP_aes_128_cbc) Aes128Cbc;
  decltype(&::EVP_aes_256_cbc) Aes256Cbc;
  decltype(&::EVP_CipherInit_ex) CipherInit;
  decltype(&::EVP_CIPHER_CTX_set_padding) CipherSetPadding;
  decltype(&::EVP_CipherUpdate) CipherUpdate;
  decltype(&::EVP_CipherFinal_ex) CipherFinal;

  // The library, loaded once per process; none when it cannot be loaded.
  static const CryptoLibrary* Get();
};

}  // namespace folian
