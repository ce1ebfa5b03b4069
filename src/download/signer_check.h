#pragma once
// Authenticode signers of program files: whether a downloaded program was signed by the
// same certificate as the running one. The certificate itself is compared, not its
// chain: a build is trusted because it carries the running installer's own signer, so
// a self-signed development certificate works as well as a purchased one.
#include <windows.h>

#include <string>

namespace kbase {

// The DER encoding of the certificate that made the file's embedded signature (its first
// signer). The signature is read, not checked: for the running program, whose image is
// already loaded. Empty when the file carries no readable signature.
std::string ReadSignerCertificate(const std::wstring& path);

enum SignerCheckResult {
  kSignerSame = 0,      // the signature verifies and its signer is the expected certificate
  kSignerUnsigned = 1,  // no embedded signature
  kSignerInvalid = 2,   // the image digest or the signature does not verify
  kSignerOther = 3,     // the signature verifies, but another certificate made it
};

// Checks the file's embedded signature with WinVerifyTrust (image digest and signature;
// no revocation check, no network) and compares its signer with `expected_certificate`
// byte for byte. `file` is an open read handle to the same file, or null; holding it
// without write sharing keeps the file unchanged until it is started. `trust_result`
// (optional) receives WinVerifyTrust's answer.
SignerCheckResult CheckFileSigner(const std::wstring& path, HANDLE file,
                                  const std::string& expected_certificate,
                                  LONG* trust_result = nullptr);

}  // namespace kbase
