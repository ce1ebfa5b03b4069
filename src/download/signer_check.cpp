#include "download/signer_check.h"

#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <memory>
#include <vector>

namespace kbase {
namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

struct StoreCloser {
  void operator()(void* store) const { ::CertCloseStore(static_cast<HCERTSTORE>(store), 0); }
};
struct MessageCloser {
  void operator()(void* message) const { ::CryptMsgClose(static_cast<HCRYPTMSG>(message)); }
};
struct CertificateFreer {
  void operator()(const CERT_CONTEXT* certificate) const {
    ::CertFreeCertificateContext(certificate);
  }
};

// Owns the state WinVerifyTrust keeps between its verify and close calls.
class TrustVerification {
 public:
  TrustVerification(const std::wstring& path, HANDLE file) {
    file_info_.cbStruct = sizeof file_info_;
    file_info_.pcwszFilePath = path.c_str();
    file_info_.hFile = file;
    data_.cbStruct = sizeof data_;
    data_.dwUIChoice = WTD_UI_NONE;
    data_.fdwRevocationChecks = WTD_REVOKE_NONE;
    data_.dwUnionChoice = WTD_CHOICE_FILE;
    data_.pFile = &file_info_;
    data_.dwStateAction = WTD_STATEACTION_VERIFY;
    data_.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    result_ = ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
  }
  ~TrustVerification() {
    data_.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
  }
  TrustVerification(const TrustVerification&) = delete;
  TrustVerification& operator=(const TrustVerification&) = delete;

  LONG result() const { return result_; }

  // The first signer's own certificate; null when there is none.
  const CERT_CONTEXT* SignerCertificate() const {
    CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(data_.hWVTStateData);
    if (provider == nullptr) return nullptr;
    CRYPT_PROVIDER_SGNR* signer = ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
    if (signer == nullptr || signer->csCertChain == 0 || signer->pasCertChain == nullptr) {
      return nullptr;
    }
    return signer->pasCertChain[0].pCert;
  }

 private:
  GUID action_ = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  WINTRUST_FILE_INFO file_info_ = {};
  WINTRUST_DATA data_ = {};
  LONG result_ = 0;
};

std::string EncodedCertificate(const CERT_CONTEXT* certificate) {
  if (certificate == nullptr || certificate->pbCertEncoded == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(certificate->pbCertEncoded),
                     certificate->cbCertEncoded);
}

}  // namespace

std::string ReadSignerCertificate(const std::wstring& path) {
  DWORD encoding = 0, content_type = 0, format_type = 0;
  HCERTSTORE raw_store = nullptr;
  HCRYPTMSG raw_message = nullptr;
  if (!::CryptQueryObject(CERT_QUERY_OBJECT_FILE, path.c_str(),
                          CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED, CERT_QUERY_FORMAT_FLAG_BINARY,
                          0, &encoding, &content_type, &format_type, &raw_store, &raw_message,
                          nullptr)) {
    return {};
  }
  const std::unique_ptr<void, StoreCloser> store(raw_store);
  const std::unique_ptr<void, MessageCloser> message(raw_message);

  DWORD size = 0;
  if (!::CryptMsgGetParam(raw_message, CMSG_SIGNER_INFO_PARAM, 0, nullptr, &size) || size == 0) {
    return {};
  }
  // CMSG_SIGNER_INFO holds pointers, so the buffer must be suitably aligned.
  std::vector<uint64_t> buffer((size + sizeof(uint64_t) - 1) / sizeof(uint64_t));
  if (!::CryptMsgGetParam(raw_message, CMSG_SIGNER_INFO_PARAM, 0, buffer.data(), &size)) {
    return {};
  }
  const auto* signer = reinterpret_cast<const CMSG_SIGNER_INFO*>(buffer.data());
  CERT_INFO wanted = {};
  wanted.Issuer = signer->Issuer;
  wanted.SerialNumber = signer->SerialNumber;
  const std::unique_ptr<const CERT_CONTEXT, CertificateFreer> certificate(
      ::CertFindCertificateInStore(raw_store, kEncoding, 0, CERT_FIND_SUBJECT_CERT, &wanted,
                                   nullptr));
  return EncodedCertificate(certificate.get());
}

SignerCheckResult CheckFileSigner(const std::wstring& path, HANDLE file,
                                  const std::string& expected_certificate, LONG* trust_result) {
  const TrustVerification verification(path, file);
  if (trust_result != nullptr) *trust_result = verification.result();
  switch (verification.result()) {
    case ERROR_SUCCESS:
      break;
    // The chain ends in a root this machine does not trust (a development certificate).
    // The digest and the signature were checked before the chain, and the signer is
    // compared below, so the root's trust adds nothing here.
    case CERT_E_UNTRUSTEDROOT:
      break;
    case TRUST_E_NOSIGNATURE:
    case TRUST_E_SUBJECT_FORM_UNKNOWN:
      return kSignerUnsigned;
    default:
      return kSignerInvalid;
  }
  const std::string signer = EncodedCertificate(verification.SignerCertificate());
  if (signer.empty()) return kSignerInvalid;
  // Issuer and serial number alone (CertCompareCertificate) can be copied into a
  // self-made certificate; the whole encoding, with its public key, cannot.
  return !expected_certificate.empty() && signer == expected_certificate ? kSignerSame
                                                                         : kSignerOther;
}

}  // namespace kbase
