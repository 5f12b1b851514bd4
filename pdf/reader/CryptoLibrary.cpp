#include "pdf/reader/CryptoLibrary.h"

#include <dlfcn.h>

#include <mutex>
#include <string>

#include "pdf/base/Diagnostics.h"

namespace folian {
namespace {

constexpr const char* kLibraryName = "libcrypto.so.3";

struct Loaded {
  CryptoLibrary functions{};
  bool usable = false;
  std::string problem;
};

Loaded Load() {
  Loaded loaded;
  // Never unloaded: the functions are used for as long as the process runs.
  void* handle = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = ::dlerror();
    loaded.problem = std::string(kLibraryName) + " cannot be loaded: " + (why ? why : "unknown reason");
    return loaded;
  }
  bool complete = true;
  auto bind = [&](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
    if (!function) {
      complete = false;
      loaded.problem = std::string(kLibraryName) + " has no " + name;
    }
  };
  CryptoLibrary& f = loaded.functions;
  bind(f.Digest, "EVP_Digest");
  bind(f.Md5, "EVP_md5");
  bind(f.Sha256, "EVP_sha256");
  bind(f.Sha384, "EVP_sha384");
  bind(f.Sha512, "EVP_sha512");
  bind(f.Rc4SetKey, "RC4_set_key");
  bind(f.Rc4, "RC4");
  bind(f.CipherNew, "EVP_CIPHER_CTX_new");
  bind(f.CipherFree, "EVP_CIPHER_CTX_free");
  bind(f.Aes128Cbc, "EVP_aes_128_cbc");
  bind(f.Aes256Cbc, "EVP_aes_256_cbc");
  bind(f.CipherInit, "EVP_CipherInit_ex");
  bind(f.CipherSetPadding, "EVP_CIPHER_CTX_set_padding");
  bind(f.CipherUpdate, "EVP_CipherUpdate");
  bind(f.CipherFinal, "EVP_CipherFinal_ex");
  loaded.usable = complete;
  return loaded;
}

}  // namespace

const CryptoLibrary* CryptoLibrary::Get() {
  static std::once_flag once;
  static Loaded loaded;
  std::call_once(once, [] { loaded = Load(); });
  if (!loaded.usable) {
    Diag("%s: encrypted files cannot be read\n", loaded.problem.c_str());
    return nullptr;
  }
  return &loaded.functions;
}

}  // namespace folian
