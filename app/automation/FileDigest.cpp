#include "FileDigest.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <vector>

namespace orka {

struct Sha256::Context {
    EVP_MD_CTX* md = nullptr;
};

Sha256::Sha256() : context_(new Context) {
    context_->md = EVP_MD_CTX_new();
    if (context_->md == nullptr || EVP_DigestInit_ex(context_->md, EVP_sha256(), nullptr) != 1)
        throw std::bad_alloc();
}

Sha256::~Sha256() {
    EVP_MD_CTX_free(context_->md);
    delete context_;
}

void Sha256::Update(const void* data, size_t length) {
    if (length > 0)
        EVP_DigestUpdate(context_->md, data, length);
}

std::string Sha256::FinishHex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_->md, digest, &length);
    EVP_DigestInit_ex(context_->md, EVP_sha256(), nullptr);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

std::optional<FileDigest> DigestFile(const std::string& path, int* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error != nullptr)
            *error = errno;
        return std::nullopt;
    }
    Sha256 hash;
    FileDigest digest;
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (error != nullptr)
                *error = errno;
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        hash.Update(buffer.data(), size_t(got));
        digest.size += uint64_t(got);
    }
    ::close(fd);
    digest.sha256 = hash.FinishHex();
    return digest;
}

}  // namespace orka
