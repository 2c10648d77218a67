// Reading the index: one read, the Mac checked over the bytes read, and
// those same bytes parsed, so no one can swap the file between check and use.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>

#include "qen_lib/crypto/mac_file.h"
#include "qen_lib/crypto/store_mac_secrets.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"
#include "qen_lib/fu_replace.h"
#include "qen_lib/log.h"
#include "qen_lib/text.h"
#include "folder_steps.h"
#include "store_files.h"
#include "vornpath/pki/store_result.h"

namespace vornpath::pki {

namespace {

// Far above any real store (a record takes about 250 bytes); a larger file
// is not read at all.
constexpr unsigned kMaxIndexFile = 16u << 20;

// The line callback's value that stops the walk; its reason is in the
// context's code.
constexpr int kStopWalk = 13;

struct IndexContext {
    explicit IndexContext(int counter) : storeCounter(counter) {}

    int storeCounter;
    int fileCounter = -1;
    bool counterRead = false;
    int code = STORE_OK;  // why the walk was stopped
    std::vector<CertRecord> records;
    CertRecord record;  // under construction
};

struct TextField {
    const wchar_t* prefix;
    std::wstring CertRecord::*field;
};

// Matched in this order against each line's beginning.
const TextField kTextFields[] = {
    {L"certHash:", &CertRecord::certHash},
    {L"certHashSHA-256:", &CertRecord::certHashSha256},
    {L"keyId:", &CertRecord::keyId},
};

struct RequiredField {
    std::wstring CertRecord::*field;
    const wchar_t* name;
    std::size_t bytes;
    int code;
};

// Checked in this order when a record ends. The certHash names a file of the
// folder, so each field must be exactly a hash text: nothing else can lead a
// path out of the folder.
const RequiredField kRequiredFields[] = {
    {&CertRecord::certHash, L"certHash", SHA1_HASH_BYTES, STORE_BAD_CERT_HASH},
    {&CertRecord::certHashSha256, L"certHashSHA-256", SHA256_HASH_BYTES, STORE_BAD_CERT_HASH_SHA256},
    {&CertRecord::keyId, L"keyId", ANY_HASH_BYTES, STORE_BAD_KEY_ID},
};

int EndRecord(IndexContext& context) {
    for (const RequiredField& required : kRequiredFields) {
        const std::wstring& value = context.record.*required.field;
        if (value.empty()) {
            qen_lib::log::report(STORE_FILE_LAYER(L"LineFuncForIndex"), 498, L"Missing %ls", required.name);
        } else if (!IsHashText(value, required.bytes)) {
            qen_lib::log::report(STORE_FILE_LAYER(L"LineFuncForIndex"), 503, L"Illegal %ls: %ls", required.name,
                                 value.c_str());
        } else {
            continue;
        }
        context.code = required.code;
        return kStopWalk;
    }
    context.records.push_back(std::move(context.record));
    context.record = CertRecord();
    return 0;
}

int ReadCounter(const std::wstring& line, IndexContext& context) {
    // The whole line must be the number: "12abc" and "5 " are no counters.
    context.fileCounter = qen_lib::text::to_int(line, -1);
    if (context.fileCounter < 0) {
        qen_lib::log::report(STORE_FILE_LAYER(L"LineFuncForIndex"), 447, L"Update counter illegal: %d",
                             context.fileCounter);
        context.code = STORE_COUNTER_ILLEGAL;
        return kStopWalk;
    }
    context.counterRead = true;
    return 0;
}

// One line of the index, without its line end: 0 goes on, kStopWalk stops
// with the reason in the context.
int LineFuncForIndex(const std::wstring& line, IndexContext& context) {
    if (!context.counterRead) return ReadCounter(line, context);
    // An unchanged index is not parsed.
    if (context.fileCounter == context.storeCounter) return 0;
    for (const TextField& text : kTextFields) {
        if (qen_lib::text::starts_with(line, text.prefix)) {
            // The rest of the line: a hash text holds no further ':'.
            context.record.*text.field = line.substr(std::wcslen(text.prefix));
            return 0;
        }
    }
    if (qen_lib::text::starts_with(line, L"isTrusted:")) {
        const std::wstring value = line.substr(std::wcslen(L"isTrusted:"));
        context.record.isTrusted = value.substr(0, value.find(L':')) == L"true";
        return 0;
    }
    if (qen_lib::text::starts_with(line, L"#")) return EndRecord(context);
    return 0;
}

// Each line of the bytes as the text-mode reader sees it (without its LF, a
// CR before the LF dropped) to LineFuncForIndex. 0 when every line was
// taken, else the value that stopped the walk.
int TraverseIndexBytes(const qen_lib::ByteBuffer& bytes, IndexContext& context) {
    const unsigned char* next = bytes.data();
    const unsigned char* const end = next + bytes.size();
    std::wstring line;
    while (next != end) {
        const unsigned char* const lineFeed = std::find(next, end, '\n');
        const unsigned char* lineEnd = lineFeed;
        if (lineFeed != end && lineEnd != next && lineEnd[-1] == '\r') --lineEnd;
        if (lineEnd - next > FU_MAX_LINE) return FU_ERROR_LINE_TOO_LONG;
        line.assign(next, lineEnd);
        if (const int stop = LineFuncForIndex(line, context)) return stop;
        next = lineFeed == end ? end : lineFeed + 1;
    }
    return 0;
}

// Whether the index's Mac file matches bytes read whole from a file; false
// when the check could not run.
bool MacCheckRan(const std::wstring& indexPath, const std::string& name, const qen_lib::ByteBuffer& bytes, bool read,
                 bool& match) {
    return read && mac_bytes_verify_sha256(indexPath.c_str(), bytes.data(), bytes.size(), &match,
                                           STORE_MAC_PASSWORD, STORE_MAC_SALT, name.c_str());
}

enum class Look { kChecked, kNoIndex, kNoCheck, kNoMatch };

// One look at the folder: the index read whole and checked against its Mac
// file, or else a stopped save finished.
Look LookAtIndex(const std::wstring& indexPath, const std::string& name, qen_lib::ByteBuffer& bytes) {
    FolderStep(indexPath, false);
    const bool present = FU_FileExists(indexPath.c_str());
    bool read = false;
    if (present) bytes = qen_lib::file::load(indexPath, kMaxIndexFile, read);
    FolderStep(MacFilePath(indexPath), false);
    bool match = false;
    const bool checked = MacCheckRan(indexPath, name, bytes, read, match);
    if (checked && match) return Look::kChecked;
    int notMoved = 0;
    if (FinishStoppedSave(indexPath, name, bytes, notMoved)) {
        if (notMoved) ReportIndexNotMoved(STORE_FILE_LAYER(L"LoadIndexAndCerts"), 543, notMoved, indexPath);
        return Look::kChecked;
    }
    return !present ? Look::kNoIndex : !checked ? Look::kNoCheck : Look::kNoMatch;
}

// A save moves its Mac file in before its index. A look that read the old
// index and then the new Mac file, and found that the save's new index had
// been moved in meanwhile, finds the new pair at the second look.
constexpr int kLooks = 2;

// The index's bytes, read whole, once its Mac file matches them.
int ReadCheckedIndex(const std::wstring& folder, const std::wstring& indexPath, qen_lib::ByteBuffer& bytes) {
    std::string name;
    Look look = Look::kNoCheck;
    if (StoreFolderName(folder, name)) {
        for (int i = 0; i < kLooks && look != Look::kChecked; ++i) look = LookAtIndex(indexPath, name, bytes);
    } else if (!FU_FileExists(indexPath.c_str())) {
        look = Look::kNoIndex;
    }
    switch (look) {
    case Look::kChecked: return STORE_OK;
    case Look::kNoIndex:
        qen_lib::log::report(STORE_FILE_LAYER(L"LoadIndexAndCerts"), 519, L"Index file not exists: %ls",
                             indexPath.c_str());
        return STORE_NO_INDEX;
    case Look::kNoCheck:
        qen_lib::log::report(STORE_FILE_LAYER(L"LoadIndexAndCerts"), 532, L"Index corrupted: %hs", name.c_str());
        return STORE_INDEX_CORRUPTED;
    case Look::kNoMatch: break;
    }
    qen_lib::log::report(STORE_FILE_LAYER(L"LoadIndexAndCerts"), 540, L"Password wrong: %hs", name.c_str());
    return STORE_PASSWORD_WRONG;
}

}  // namespace

// A save stopped between its two moves leaves its new Mac file beside the
// old index (or beside none, when it was the store's first) and its complete
// new index beside that. When the Mac file matches the new index, the save
// is finished here and bytes become the new index's: the very bytes that were
// checked. They are the store also when the index cannot be moved in now
// (someone holds it open); a later load or save moves it in.
bool FinishStoppedSave(const std::wstring& indexPath, const std::string& name, qen_lib::ByteBuffer& bytes,
                       int& notMoved) {
    const std::wstring newPath = FU_NewFilePath(indexPath);
    FolderStep(newPath, false);
    if (!FU_FileExists(newPath.c_str())) return false;
    bool read = false;
    bool match = false;
    qen_lib::ByteBuffer newBytes = qen_lib::file::load(newPath, kMaxIndexFile, read);
    FolderStep(MacFilePath(indexPath), false);
    if (!MacCheckRan(indexPath, name, newBytes, read, match) || !match) return false;
    FolderStep(indexPath, true);
    notMoved = FU_MoveNewFileIn(indexPath);
    bytes = std::move(newBytes);
    return true;
}

int LoadIndexAndCerts(const std::wstring& folder, const std::wstring& indexPath, int storeCounter,
                      int& fileCounter, std::vector<CertRecord>& records) {
    qen_lib::ByteBuffer bytes;
    if (const int checked = ReadCheckedIndex(folder, indexPath, bytes)) return checked;

    IndexContext context(storeCounter);
    if (const int stop = TraverseIndexBytes(bytes, context)) {
        qen_lib::log::report(STORE_FILE_LAYER(L"LoadIndexAndCerts"), 551, L"FU_TraverseFileEx failed(0x%08x)",
                             static_cast<unsigned>(stop));
        // A walk that stopped without a recorded reason read only part of
        // the index: never success.
        return stop == kStopWalk && context.code != STORE_OK ? context.code : STORE_INDEX_UNREADABLE;
    }
    if (!context.counterRead) return STORE_INDEX_EMPTY;
    fileCounter = context.fileCounter;
    records = std::move(context.records);
    return STORE_OK;
}

}  // namespace vornpath::pki
