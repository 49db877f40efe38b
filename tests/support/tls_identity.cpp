#include "tests/support/tls_identity.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "tests/support/http_test_server.h"

namespace testsupport {
namespace {

struct Identity {
  EVP_PKEY* key = nullptr;
  X509* certificate = nullptr;
  std::string certificatePem;
  SSL_CTX* context = nullptr;
};

void AddExtension(X509* certificate, int id, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, id, value);
  if (extension == nullptr) throw std::runtime_error("certificate extension");
  X509_add_ext(certificate, extension, -1);
  X509_EXTENSION_free(extension);
}

// Made once and kept for the whole test process, which the servers share.
const Identity& TheIdentity() {
  static const Identity* const identity = [] {
    auto* made = new Identity();
    made->key = EVP_EC_gen("P-256");
    made->certificate = X509_new();
    X509* c = made->certificate;
    if (made->key == nullptr || c == nullptr) throw std::runtime_error("test key");
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), 1);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 7 * 24 * 3600);
    X509_set_pubkey(c, made->key);
    X509_NAME* name = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"),
                               -1, -1, 0);
    X509_set_issuer_name(c, name);
    AddExtension(c, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(c, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
    if (X509_sign(c, made->key, EVP_sha256()) == 0) throw std::runtime_error("test certificate");
    BIO* pem = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(pem, c);
    char* data = nullptr;
    const long size = BIO_get_mem_data(pem, &data);
    made->certificatePem.assign(data, static_cast<std::size_t>(size));
    BIO_free(pem);
    made->context = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate(made->context, c);
    SSL_CTX_use_PrivateKey(made->context, made->key);
    return made;
  }();
  return *identity;
}

}  // namespace

SSL_CTX* TlsServerContext() {
  return TheIdentity().context;
}

const std::string& TestCertificatePem() {
  return TheIdentity().certificatePem;
}

}  // namespace testsupport
