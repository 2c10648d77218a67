// Writing the index together with its Mac file.
#include <windows.h>

#include <string>

#include "qen_lib/crypto/mac_file.h"
#include "qen_lib/crypto/store_mac_secrets.h"
#include "qen_lib/fu_replace.h"
#include "qen_lib/log.h"
#include "folder_steps.h"
#include "store_files.h"
#include "vornpath/pki/store_result.h"
#include "win/win_result.h"

namespace vornpath::pki {

namespace {

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

int MacUnwritable(const std::string& name) {
    qen_lib::log::report(STORE_FILE_LAYER(L"SaveIndex"), 614, L"Mac file writing failed: %hs", name.c_str());
    return STORE_MAC_UNWRITABLE;
}

int IndexUnwritable(const std::wstring& indexPath) {
    qen_lib::log::report(STORE_FILE_LAYER(L"SaveIndex"), 602, L"Index writing failed: %ls", indexPath.c_str());
    return STORE_INDEX_UNWRITABLE;
}

}  // namespace

// The new index is written whole beside the old one and its Mac computed from
// those bytes before either target changes. The Mac file goes in place first
// and the index after it, so that a save stopped between the two moves leaves
// a new Mac that matches the complete new index beside the old one, which
// the next load moves in. Once the new Mac file is in place the new store
// stands, and the old Mac file never goes back: a load may already have
// moved the new index in, or a later save its own pair. An index that cannot
// be moved now (someone reading it, or the new index, holds it open) leaves
// the folder as such a stopped save, which every load reads as the new store
// and finishes.
int SaveIndex(const std::wstring& folder, const std::wstring& indexPath, int counter,
              const CertHashMap& certHashes) {
    const std::string bytes = OnDisk(IndexText(counter, certHashes));
    std::string name;
    wchar_t mac[MAC_TEXT_CAPACITY];
    if (!StoreFolderName(folder, name) ||
        !mac_text_sha256(bytes.data(), bytes.size(), STORE_MAC_PASSWORD, STORE_MAC_SALT, name.c_str(), mac)) {
        return MacUnwritable(name);
    }
    // An earlier save's new index is the store until it is in place: it is
    // moved in first, and never written over nor deleted with a failed write.
    qen_lib::ByteBuffer stopped;
    int notMoved = 0;
    if (FinishStoppedSave(indexPath, name, stopped, notMoved) && notMoved) {
        ReportIndexNotMoved(STORE_FILE_LAYER(L"SaveIndex"), 618, notMoved, indexPath);
        return IndexUnwritable(indexPath);
    }
    FolderStep(FU_NewFilePath(indexPath), true);
    if (FU_WriteNewFile(indexPath, BytesWriter(bytes.data(), bytes.size()))) {
        FU_DeleteNewFile(indexPath);
        return IndexUnwritable(indexPath);
    }
    const std::wstring macPath = MacFilePath(indexPath);
    FolderStep(macPath, true);
    if (FU_ReplaceFile(macPath, [&mac](const std::wstring& path) {
            if (mac_file_write_line(path.c_str(), mac)) return 0;
            return static_cast<int>(qen_lib::last_error_or(ERROR_WRITE_FAULT));
        })) {
        FU_DeleteNewFile(indexPath);
        return MacUnwritable(name);
    }
    FolderStep(indexPath, true);
    if (const int error = FU_MoveNewFileIn(indexPath))
        ReportIndexNotMoved(STORE_FILE_LAYER(L"SaveIndex"), 618, error, indexPath);
    return STORE_OK;
}

}  // namespace vornpath::pki
