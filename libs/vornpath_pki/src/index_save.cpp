// Writing the index together with its Mac file.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "qen_lib/crypto/mac_file.h"
#include "qen_lib/crypto/store_mac_secrets.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"
#include "qen_lib/log.h"
#include "store_files.h"
#include "vornpath/pki/store_result.h"

namespace vornpath::pki {

namespace {

// A Mac file holds one line of 95 characters; anything near this is not one.
constexpr unsigned kMaxMacFile = 4096;

// Hash texts are ASCII, so each character is its own byte.
std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The index as the text-mode stream is given it: records in ascending
// certHash order, "\n" line ends.
std::string IndexText(int counter, const CertHashMap& certHashes) {
    std::string text = std::to_string(counter) + "\n";
    for (const auto& entry : certHashes) {
        const CertRecord& record = entry.second;
        text += "certHash:" + Ascii(record.certHash) + "\n";
        text += "certHashSHA-256:" + Ascii(record.certHashSha256) + "\n";
        text += std::string("isTrusted:") + (record.isTrusted ? "true" : "false") + "\n";
        text += "keyId:" + Ascii(record.keyId) + "\n";
        text += "#\n";
    }
    return text;
}

// What the text-mode stream leaves on disk: every "\n" as CR LF.
std::string OnDisk(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

int WriteFuncForIndex(FILE* stream, void* context) {
    const std::string& text = *static_cast<const std::string*>(context);
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        qen_lib::log::report(STORE_FILE_LAYER(L"WriteFuncForIndex"), 571, L"file writing failed(%d)", errno);
        return ERROR_WRITE_FAULT;
    }
    return 0;
}

// Writes path + ".new" through write, then puts it in place of path in one
// move; on failure the ".new" file goes and path is untouched.
template <class Write>
bool WriteInPlace(const std::wstring& path, Write write) {
    const std::wstring newPath = path + L".new";
    if (write(newPath) &&
        MoveFileExW(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(newPath.c_str());
    return false;
}

// The Mac file before it was replaced, to put back when the index cannot
// follow it.
struct OldMac {
    bool existed = false;
    qen_lib::ByteBuffer bytes;
};

// Keeps the old Mac file's bytes, then puts the new text in place in one
// move; false, with the old file untouched, when any step fails.
bool ReplaceMac(const std::wstring& macPath, const wchar_t* text, OldMac& old) {
    old.existed = FU_FileExists(macPath.c_str());
    if (old.existed) {
        bool read = false;
        old.bytes = qen_lib::file::load(macPath, kMaxMacFile, read);
        if (!read) return false;
    }
    return WriteInPlace(macPath, [text](const std::wstring& path) { return mac_file_write_line(path.c_str(), text); });
}

void RestoreMac(const std::wstring& macPath, const OldMac& old) {
    if (!old.existed) {
        DeleteFileW(macPath.c_str());
        return;
    }
    WriteInPlace(macPath, [&old](const std::wstring& path) {
        return qen_lib::file::save(path, old.bytes.data(), old.bytes.size());
    });
}

}  // namespace

// The new Mac is computed from the exact bytes the index will hold, before
// either file changes. The Mac file goes in place first and the index after
// it; when the index cannot follow, the old Mac file is put back, so a
// failure leaves the old pair. What remains: a process that dies between the
// two moves, or a Mac file that cannot be put back, leaves the new Mac beside
// the old index, and the folder reads as not matching (6) until the index is
// written again.
int SaveIndex(const std::wstring& folder, const std::wstring& indexPath, int counter,
              const CertHashMap& certHashes) {
    std::string text = IndexText(counter, certHashes);
    const std::string bytes = OnDisk(text);
    std::string name;
    wchar_t mac[MAC_TEXT_CAPACITY];
    OldMac old;
    const std::wstring macPath = indexPath + L".0";
    if (!StoreFolderName(folder, name) ||
        !mac_text_sha256(bytes.data(), bytes.size(), STORE_MAC_PASSWORD, STORE_MAC_SALT, name.c_str(), mac) ||
        !ReplaceMac(macPath, mac, old)) {
        qen_lib::log::report(STORE_FILE_LAYER(L"SaveIndex"), 614, L"Mac file writing failed: %hs", name.c_str());
        return STORE_MAC_UNWRITABLE;
    }
    if (FU_WriteFileEx(indexPath.c_str(), WriteFuncForIndex, &text, FU_TYPE_TEXT) != 0) {
        RestoreMac(macPath, old);
        qen_lib::log::report(STORE_FILE_LAYER(L"SaveIndex"), 602, L"Index writing failed: %ls", indexPath.c_str());
        return STORE_INDEX_UNWRITABLE;
    }
    return STORE_OK;
}

}  // namespace vornpath::pki
