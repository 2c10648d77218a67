// Writing the index together with its Mac file.
#include <windows.h>

#include <algorithm>
#include <string>

#include "qen_lib/crypto/mac_file.h"
#include "qen_lib/crypto/store_mac_secrets.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"
#include "qen_lib/log.h"
#include "new_files.h"
#include "store_files.h"
#include "vornpath/pki/store_result.h"

namespace vornpath::pki {

namespace {

// A Mac file holds one line of 95 characters; anything near this is not one.
constexpr unsigned kMaxMacFile = 4096;

// Hash texts are ASCII, so each character is its own byte.
std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// The index's lines: the counter, then the records in ascending certHash
// order.
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

// The index file's bytes, as a text-mode writer leaves them: every "\n" as
// CR LF. They are written as they are, so that the Mac computed over them is
// the Mac of the file.
std::string OnDisk(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
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
    return PutNewFileInPlace(macPath, [text](const std::wstring& path) {
        return mac_file_write_line(path.c_str(), text) != FALSE;
    });
}

bool RestoreMac(const std::wstring& macPath, const OldMac& old) {
    if (!old.existed) return DeleteFileW(macPath.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    return PutNewFileInPlace(macPath, [&old](const std::wstring& path) {
        return qen_lib::file::save(path, old.bytes.data(), old.bytes.size());
    });
}

int MacUnwritable(const std::string& name) {
    qen_lib::log::report(STORE_FILE_LAYER(L"SaveIndex"), 614, L"Mac file writing failed: %hs", name.c_str());
    return STORE_MAC_UNWRITABLE;
}

int IndexUnwritable(const std::wstring& indexPath) {
    qen_lib::log::report(STORE_FILE_LAYER(L"SaveIndex"), 602, L"Index writing failed: %ls", indexPath.c_str());
    return STORE_INDEX_UNWRITABLE;
}

// Another store object's load on the folder may have found this save
// stopped between its moves and finished it: the new index is then gone from
// beside the old one, and the index holds the bytes of this save.
bool FinishedByALoad(const std::wstring& indexPath, const std::string& bytes) {
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    bool read = false;
    const qen_lib::ByteBuffer found = qen_lib::file::load(indexPath, static_cast<unsigned>(bytes.size()), read);
    return read && found.size() == bytes.size() && std::equal(bytes.begin(), bytes.end(), found.data());
}

// The index could not be moved in after the new Mac file was: the old Mac
// file goes back, and the new index with it. When the old Mac file cannot go
// back, the folder is the one that a save stopped between its two moves
// leaves: the new index stays beside the old one, and the next load finishes
// this save.
int UndoMac(const std::wstring& indexPath, const std::wstring& macPath, const OldMac& old, const std::string& name) {
    const bool restored = RestoreMac(macPath, old);
    if (restored) DeleteNewFile(indexPath);
    const int code = IndexUnwritable(indexPath);
    if (restored) return code;
    qen_lib::log::report(STORE_FILE_LAYER(L"SaveIndex"), 622, L"Mac file restoring failed: %hs", name.c_str());
    return STORE_MAC_UNWRITABLE;
}

}  // namespace

// The new index is written whole beside the old one and its Mac computed from
// those bytes before either target changes. The Mac file goes in place first
// and the index after it, so that a save stopped between the two moves leaves
// a new Mac that matches the complete new index beside the old one, which
// the next load moves in. When the index cannot follow, the old Mac file is
// put back and the old pair stands.
int SaveIndex(const std::wstring& folder, const std::wstring& indexPath, int counter,
              const CertHashMap& certHashes) {
    const std::string bytes = OnDisk(IndexText(counter, certHashes));
    std::string name;
    wchar_t mac[MAC_TEXT_CAPACITY];
    if (!StoreFolderName(folder, name) ||
        !mac_text_sha256(bytes.data(), bytes.size(), STORE_MAC_PASSWORD, STORE_MAC_SALT, name.c_str(), mac)) {
        return MacUnwritable(name);
    }
    if (!WriteNewFile(indexPath, [&bytes](const std::wstring& path) {
            return qen_lib::file::save(path, bytes.data(), bytes.size());
        })) {
        DeleteNewFile(indexPath);
        return IndexUnwritable(indexPath);
    }
    const std::wstring macPath = indexPath + L".0";
    OldMac old;
    if (!ReplaceMac(macPath, mac, old)) {
        DeleteNewFile(indexPath);
        return MacUnwritable(name);
    }
    if (MoveNewFileIn(indexPath) || FinishedByALoad(indexPath, bytes)) return STORE_OK;
    return UndoMac(indexPath, macPath, old, name);
}

}  // namespace vornpath::pki
