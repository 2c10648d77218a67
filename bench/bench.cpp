// bench DATA ENVELOPE: prints the throughput of SHA-1 and SHA-256 over the
// bytes of DATA, and the time of DecryptDataFile on ENVELOPE beside a bare
// in-memory CryptDecrypt loop over the same ciphertext. One result a line:
// NAME SECONDS MIB_PER_SECOND.
#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "qen_lib/crypto/sha1.h"
#include "qen_lib/crypto/sha256.h"
#include "qen_lib/envelope/envelope.h"
#include "win/handle.h"

namespace {

using bench::best_seconds;

void print(const char* name, double seconds, std::size_t bytes) {
    if (seconds < 0) {
        std::printf("%s failed %lu\n", name, GetLastError());
        return;
    }
    std::printf("%s %.3f %.1f\n", name, seconds, static_cast<double>(bytes) / (1024.0 * 1024.0) / seconds);
}

bool read_whole(const wchar_t* path, std::vector<BYTE>& bytes) {
    const win::FileHandle file(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.get(), &size)) return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

// The ciphertext deciphered in place, 2048 bytes a call as DecryptDataFile
// does, with the last block as the final call.
bool decrypt_in_memory(std::vector<BYTE> cipher) {
    win::CryptProv provider;
    win::CryptKey key;
    if (!CryptAcquireContextW(provider.put(), nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) ||
        !DeriveEnvelopeKey(provider.get(), key.put())) {
        return false;
    }
    constexpr std::size_t block = 2048;
    for (std::size_t done = 0; done < cipher.size(); done += block) {
        const bool last = cipher.size() - done <= block;
        DWORD size = static_cast<DWORD>(last ? cipher.size() - done : block);
        if (!CryptDecrypt(key.get(), 0, last, 0, cipher.data() + done, &size)) return false;
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench DATA ENVELOPE\n");
        return 2;
    }
    std::vector<BYTE> data;
    if (!read_whole(argv[1], data)) {
        std::fprintf(stderr, "cannot read %ls\n", argv[1]);
        return 1;
    }
    unsigned char digest[SHA256_DIGEST_SIZE];
    print("sha1", best_seconds([&] { return sha1_digest(digest, data.data(), data.size()) == 0; }), data.size());
    print("sha256", best_seconds([&] {
              sha256_digest(digest, data.data(), data.size());
              return true;
          }),
          data.size());
    data = std::vector<BYTE>();

    std::vector<BYTE> cipher;
    if (!read_whole(argv[2], cipher)) {
        std::fprintf(stderr, "cannot read %ls\n", argv[2]);
        return 1;
    }
    const std::wstring target = std::wstring(argv[2]) + L".out";
    print("decrypt_data_file", best_seconds([&] { return DecryptDataFile(argv[2], target.c_str()) != FALSE; }),
          cipher.size());
    print("cryptdecrypt_loop", best_seconds([&] { return decrypt_in_memory(cipher); }), cipher.size());
    DeleteFileW(target.c_str());
    return 0;
}
