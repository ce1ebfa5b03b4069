// kinst-sign: key pairs and signed documents for channel operators and tests.
//
//   kinst-sign keygen PREFIX          writes PREFIX.pem (private) and PREFIX.pub (public)
//   kinst-sign pubkey KEY.pem         prints the public key in the form the build reads
//   kinst-sign sign KEY.pem [IN [OUT]]  plain document -> signed transport text
//   kinst-sign verify KEY.pub [IN]    signed transport text -> plain document
//
// IN and OUT default to standard input and output. A .pub file holds the key blob the
// installer embeds, as hexadecimal text (see KINST_RSA_PUBLIC_KEY in the build).
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "common/codec/signed_transport.h"
#include "tools/sign/transport_signer.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: kinst-sign keygen PREFIX\n"
               "       kinst-sign pubkey KEY.pem\n"
               "       kinst-sign sign KEY.pem [IN [OUT]]\n"
               "       kinst-sign verify KEY.pub [IN]\n");
  return 2;
}

bool ReadAll(const char* path, std::string* text) {
  if (path == nullptr || std::string(path) == "-") {
    text->assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return true;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return true;
}

bool WriteAll(const char* path, const std::string& text) {
  if (path == nullptr || std::string(path) == "-") {
    std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(std::cout.flush());
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(out);
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "kinst-sign: %s\n", what.c_str());
  return 1;
}

std::unique_ptr<kbase::TransportSigner> LoadSigner(const char* path) {
  std::string pem, error;
  if (!ReadAll(path, &pem)) {
    Fail(std::string("cannot read ") + path);
    return nullptr;
  }
  auto signer = kbase::TransportSigner::FromPem(pem, &error);
  if (!signer) Fail(std::string(path) + ": " + error);
  return signer;
}

std::string PublicKeyHex(const kbase::TransportSigner& signer) {
  const auto blob = signer.PublicKeyBlob();
  return kbase::BlobToHex(blob.data(), blob.size()) + "\n";
}

int KeyGen(const std::string& prefix) {
  std::string error;
  auto signer = kbase::TransportSigner::Generate(&error);
  if (!signer) return Fail(error);
  if (!WriteAll((prefix + ".pem").c_str(), signer->PrivateKeyPem()) ||
      !WriteAll((prefix + ".pub").c_str(), PublicKeyHex(*signer))) {
    return Fail("cannot write " + prefix + ".pem / .pub");
  }
  return 0;
}

int Verify(const char* pub_path, const char* in_path) {
  std::string hex, blob, body;
  kbase::RsaPublicKey key;
  if (!ReadAll(pub_path, &hex) || !kbase::HexToBlob(hex, &blob) ||
      !kbase::ParseRsaPublicKey(reinterpret_cast<const uint8_t*>(blob.data()), blob.size(),
                                &key)) {
    return Fail(std::string(pub_path) + ": not a public key file");
  }
  if (!ReadAll(in_path, &body)) return Fail(std::string("cannot read ") + in_path);
  const std::string text = kbase::DecodeSignedTransport(body, key);
  if (text.empty()) return Fail("nothing decodes: wrong key, damaged text or a trailing line break");
  return WriteAll(nullptr, text) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  if (command == "keygen" && argc == 3) return KeyGen(argv[2]);
  if (command == "pubkey" && argc == 3) {
    auto signer = LoadSigner(argv[2]);
    return signer && WriteAll(nullptr, PublicKeyHex(*signer)) ? 0 : 1;
  }
  if (command == "sign" && argc <= 5) {
    auto signer = LoadSigner(argv[2]);
    if (!signer) return 1;
    std::string text;
    if (!ReadAll(argc > 3 ? argv[3] : nullptr, &text)) return Fail("cannot read the document");
    return WriteAll(argc > 4 ? argv[4] : nullptr, signer->Sign(text)) ? 0 : 1;
  }
  if (command == "verify" && argc <= 4) return Verify(argv[2], argc > 3 ? argv[3] : nullptr);
  return Usage();
}
