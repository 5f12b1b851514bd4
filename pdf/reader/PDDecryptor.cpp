// The standard security handler with the empty user password. The algorithms
// follow ISO 32000: key derivation by MD5 (revisions 2-4, algorithm 2), the
// user-password check (algorithms 4 and 5), the SHA-2 hash of revision 6
// (algorithm 2.B) and the object keys of algorithm 1.
#include "pdf/reader/PDDecryptor.h"

#include <cstring>
#include <vector>

#include "pdf/base/Diagnostics.h"
#include "pdf/base/StringCodec.h"
#include "pdf/object/PDDict.h"
#include "pdf/reader/CryptoLibrary.h"

namespace folian {
namespace {

const unsigned char kPadding[32] = {0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
                                    0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
                                    0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

// Everything below runs after PDDecryptor::Open found the library loaded.
const CryptoLibrary& Crypto() { return *CryptoLibrary::Get(); }

std::string Digest(const EVP_MD* md, const std::string& data) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (Crypto().Digest(data.data(), data.size(), out, &length, md, nullptr) != 1) return {};
  return std::string(reinterpret_cast<char*>(out), length);
}

std::string RC4Crypt(const std::string& key, const std::string& data) {
  RC4_KEY state;
  Crypto().Rc4SetKey(&state, static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(key.data()));
  std::string out(data.size(), '\0');
  Crypto().Rc4(&state, data.size(), reinterpret_cast<const unsigned char*>(data.data()), reinterpret_cast<unsigned char*>(out.data()));
  return out;
}

struct CipherContext {
  EVP_CIPHER_CTX* ctx = Crypto().CipherNew();
  ~CipherContext() { Crypto().CipherFree(ctx); }
};

// AES in CBC mode without padding; `data` must be whole blocks.
bool AesCbc(bool encrypt, const std::string& key, const unsigned char* iv, const std::string& data, std::string& out) {
  const EVP_CIPHER* cipher = key.size() == 32 ? Crypto().Aes256Cbc() : key.size() == 16 ? Crypto().Aes128Cbc() : nullptr;
  CipherContext context;
  if (!cipher || !context.ctx || data.size() % 16 != 0) return false;
  if (Crypto().CipherInit(context.ctx, cipher, nullptr, reinterpret_cast<const unsigned char*>(key.data()), iv,
                        encrypt ? 1 : 0) != 1)
    return false;
  Crypto().CipherSetPadding(context.ctx, 0);
  out.resize(data.size() + 16);
  int written = 0;
  int finished = 0;
  if (Crypto().CipherUpdate(context.ctx, reinterpret_cast<unsigned char*>(out.data()), &written,
                       reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size())) != 1 ||
      Crypto().CipherFinal(context.ctx, reinterpret_cast<unsigned char*>(out.data()) + written, &finished) != 1)
    return false;
  out.resize(static_cast<size_t>(written + finished));
  return true;
}

// The hash of revision 6 (algorithm 2.B); revision 5 uses SHA-256 alone.
std::string HashR6(const std::string& password, const std::string& salt, int revision) {
  std::string k = Digest(Crypto().Sha256(), password + salt);
  if (revision < 6) return k;
  for (int round = 0;; ++round) {
    std::string once = password + k;
    std::string k1;
    k1.reserve(once.size() * 64);
    for (int i = 0; i < 64; ++i) k1 += once;
    std::string e;
    if (!AesCbc(true, k.substr(0, 16), reinterpret_cast<const unsigned char*>(k.data()) + 16, k1, e)) return {};
    int sum = 0;
    for (int i = 0; i < 16; ++i) sum += static_cast<unsigned char>(e[static_cast<size_t>(i)]);
    const EVP_MD* md = sum % 3 == 0 ? Crypto().Sha256() : sum % 3 == 1 ? Crypto().Sha384() : Crypto().Sha512();
    k = Digest(md, e);
    if (round >= 63 && static_cast<unsigned char>(e.back()) <= round - 31) break;
  }
  return k.substr(0, 32);
}

std::string StringEntry(const PDDict& dict, const char* key) {
  const PDValue* value = dict.Find(key);
  return value && value->Is(PDKind::Text) ? DecodeStringBytes(value->Text()).str() : std::string();
}

int32_t IntEntry(const PDDict& dict, const char* key, int32_t fallback) {
  const PDValue* value = dict.Find(key);
  return value && value->Is(PDKind::Integer) ? value->Number() : fallback;
}

// The cipher of a crypt filter named by /StmF or /StrF (version 4 and 5 files).
PDDecryptor::Cipher FilterCipher(const PDDict& encrypt, const char* which, bool& known) {
  const PDValue* name = encrypt.Find(which);
  if (!name || name->IsText("/Identity")) return PDDecryptor::Cipher::kNone;
  const PDValue* filters = encrypt.Find("/CF");
  const PDValue* filter = filters && filters->Dict() && name->Is(PDKind::Text) ? filters->Dict()->Find(name->Text().c_str()) : nullptr;
  const PDValue* method = filter && filter->Dict() ? filter->Dict()->Find("/CFM") : nullptr;
  if (!method || method->IsText("/None")) return PDDecryptor::Cipher::kNone;
  if (method->IsText("/V2")) return PDDecryptor::Cipher::kRC4;
  if (method->IsText("/AESV2")) return PDDecryptor::Cipher::kAES128;
  if (method->IsText("/AESV3")) return PDDecryptor::Cipher::kAES256;
  known = false;
  return PDDecryptor::Cipher::kNone;
}

}  // namespace

std::unique_ptr<PDDecryptor> PDDecryptor::Open(const PDValue& encrypt, const std::string& firstId) {
  if (!CryptoLibrary::Get()) return nullptr;
  std::unique_ptr<PDDecryptor> decryptor(new PDDecryptor);
  if (!decryptor->Authenticate(encrypt, firstId)) return nullptr;
  return decryptor;
}

bool PDDecryptor::Authenticate(const PDValue& encrypt, const std::string& firstId) {
  const PDDict* dict = encrypt.Dict();
  if (!dict || !dict->Find("/Filter") || !dict->Find("/Filter")->IsText("/Standard")) {
    Diag("encryption handler other than /Standard\n");
    return false;
  }
  int32_t version = IntEntry(*dict, "/V", 0);
  m_revision = IntEntry(*dict, "/R", 0);
  const PDValue* metadata = dict->Find("/EncryptMetadata");
  m_encryptMetadata = !(metadata && metadata->IsText("false"));
  std::string owner = StringEntry(*dict, "/O");
  std::string user = StringEntry(*dict, "/U");
  bool known = true;
  if (version == 1 || version == 2) {
    m_strings = m_streams = Cipher::kRC4;
  } else if (version == 4 || version == 5) {
    m_strings = FilterCipher(*dict, "/StrF", known);
    m_streams = FilterCipher(*dict, "/StmF", known);
  } else {
    known = false;
  }
  if (!known || m_revision < 2 || m_revision > 6) {
    Diag("encryption version %d revision %d is not read\n", version, m_revision);
    return false;
  }

  if (m_revision >= 5) {
    std::string userEncrypted = StringEntry(*dict, "/UE");
    if (user.size() < 48 || userEncrypted.size() < 32) {
      Diag("encryption dictionary /U or /UE too short\n");
      return false;
    }
    if (HashR6("", user.substr(32, 8), m_revision) != user.substr(0, 32)) {
      Diag("a password is needed to decrypt this file\n");
      return false;
    }
    std::string intermediate = HashR6("", user.substr(40, 8), m_revision);
    const unsigned char zeroIv[16] = {};
    if (!AesCbc(false, intermediate, zeroIv, userEncrypted.substr(0, 32), m_key)) return false;
    return true;
  }

  int32_t length = version == 1 ? 40 : IntEntry(*dict, "/Length", version == 4 ? 128 : 40);
  if (length < 40 || length > 128 || length % 8 != 0) length = version == 1 ? 40 : 128;
  size_t n = m_revision == 2 ? 5 : static_cast<size_t>(length / 8);
  if (owner.size() < 32 || user.size() < 32) {
    Diag("encryption dictionary /O or /U too short\n");
    return false;
  }
  uint32_t permissions = static_cast<uint32_t>(IntEntry(*dict, "/P", 0));
  std::string input(reinterpret_cast<const char*>(kPadding), 32);
  input += owner.substr(0, 32);
  for (int i = 0; i < 4; ++i) input += static_cast<char>((permissions >> (8 * i)) & 0xFF);
  input += firstId;
  if (m_revision >= 4 && !m_encryptMetadata) input += std::string(4, '\xFF');
  std::string hash = Digest(Crypto().Md5(), input);
  if (m_revision >= 3)
    for (int i = 0; i < 50; ++i) hash = Digest(Crypto().Md5(), hash.substr(0, n));
  m_key = hash.substr(0, n);

  bool matches = false;
  if (m_revision == 2) {
    matches = RC4Crypt(m_key, std::string(reinterpret_cast<const char*>(kPadding), 32)) == user.substr(0, 32);
  } else {
    std::string check = RC4Crypt(m_key, Digest(Crypto().Md5(), std::string(reinterpret_cast<const char*>(kPadding), 32) + firstId));
    for (int i = 1; i <= 19; ++i) {
      std::string key = m_key;
      for (char& c : key) c = static_cast<char>(c ^ i);
      check = RC4Crypt(key, check);
    }
    matches = check == user.substr(0, 16);
  }
  if (!matches) {
    Diag("a password is needed to decrypt this file\n");
    return false;
  }
  return true;
}

std::string PDDecryptor::ObjectKey(Cipher cipher, int32_t number, int32_t generation) const {
  if (cipher == Cipher::kAES256) return m_key;
  std::string input = m_key;
  for (int i = 0; i < 3; ++i) input += static_cast<char>((number >> (8 * i)) & 0xFF);
  for (int i = 0; i < 2; ++i) input += static_cast<char>((generation >> (8 * i)) & 0xFF);
  if (cipher == Cipher::kAES128) input += "sAlT";
  return Digest(Crypto().Md5(), input).substr(0, std::min<size_t>(m_key.size() + 5, 16));
}

bool PDDecryptor::Apply(Cipher cipher, std::string& data, int32_t number, int32_t generation) const {
  if (cipher == Cipher::kNone) return true;
  std::string key = ObjectKey(cipher, number, generation);
  if (cipher == Cipher::kRC4) {
    data = RC4Crypt(key, data);
    return true;
  }
  if (data.empty()) return true;
  // The first block is the initialisation vector; the last ends in padding.
  if (data.size() < 16) return false;
  std::string body = data.substr(16);
  body.resize(body.size() - body.size() % 16);
  std::string plain;
  if (!AesCbc(false, key, reinterpret_cast<const unsigned char*>(data.data()), body, plain)) return false;
  if (!plain.empty()) {
    auto pad = static_cast<unsigned char>(plain.back());
    if (pad >= 1 && pad <= 16 && pad <= plain.size()) plain.resize(plain.size() - pad);
  }
  data.swap(plain);
  return true;
}

bool PDDecryptor::DecryptStrings(PDValue& value, int32_t number, int32_t generation) const {
  bool ok = true;
  std::vector<PDValue*> pending{&value};
  while (!pending.empty()) {
    PDValue* node = pending.back();
    pending.pop_back();
    if (node->Is(PDKind::Text)) {
      const ByteString& text = node->Text();
      if (!text.StartsWith("(") && !text.StartsWith("<")) continue;
      std::string bytes = DecodeStringBytes(text).str();
      if (!Apply(m_strings, bytes, number, generation)) {
        ok = false;
        continue;
      }
      node->SetText(EncodeString(bytes.data(), static_cast<int32_t>(bytes.size()), StringMode::Literal));
    } else if (node->Is(PDKind::Array)) {
      for (PDValue* el = node->GetFirstEl(); el; el = el->Next()) pending.push_back(el);
    } else if (node->Dict()) {
      PDValue* entry = nullptr;
      int32_t key = 0;
      for (int32_t i = 0; node->Dict()->EntryAt(i, entry, key); ++i) pending.push_back(entry);
    }
  }
  return ok;
}

bool PDDecryptor::DecryptStream(const PDValue& root, std::vector<char>& data, int32_t number, int32_t generation) const {
  const PDDict* dict = root.Dict();
  const PDValue* type = dict ? dict->Get(kKeyType) : nullptr;
  if (type && type->IsText("/XRef")) return true;
  if (type && type->IsText("/Metadata") && !m_encryptMetadata) return true;
  // A stream may opt out with its own /Crypt filter naming /Identity.
  const PDValue* filter = dict ? dict->Get(kKeyFilter) : nullptr;
  const PDValue* first = filter && filter->Is(PDKind::Array) ? filter->GetFirstEl() : filter;
  if (first && first->IsText("/Crypt")) return true;
  std::string bytes(data.begin(), data.end());
  if (!Apply(m_streams, bytes, number, generation)) return false;
  data.assign(bytes.begin(), bytes.end());
  return true;
}

}  // namespace folian
