// SHA-256 of files and byte streams (OpenSSL's libcrypto), for the journal
// and for checking backup copies against the picture they copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace orka {

// A running SHA-256. Not copyable; one owner feeds it.
class Sha256 {
  public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, size_t length);
    // The digest of everything fed so far, 64 lowercase hex digits; the hash
    // starts again empty afterwards.
    std::string FinishHex();

  private:
    struct Context;
    Context* context_;
};

struct FileDigest {
    uint64_t size = 0;
    std::string sha256;  // 64 lowercase hex digits
};

// Reads the whole file. nullopt when it cannot be opened or read, with the
// errno value in *error when given.
std::optional<FileDigest> DigestFile(const std::string& path, int* error = nullptr);

}  // namespace orka
