#pragma once
// The files an update check works with, as path templates ("%ProgramData%\...")
// and as this PC's paths, together with what decides whether the auxiliary
// application may be updated.
#include <string>

#include "allowlist/FileFingerprint.h"
#include "auxapp/AuxAppUpdate.h"
#include "environment/VersionNumber.h"

// The templates as the update flow sets them; every text starts empty.
struct UpdatePathSet {
    std::wstring noUseFlag;
    PathGate gate = IsNotExistingFile;  // says of the expanded no-use flag whether the update may go on
    std::wstring whiteListBase;         // the installed allowed-URL list without its extension
    std::wstring extension;             // of the installed list and its backups; not expanded
    std::wstring downloadedWhiteList;
    std::wstring updateList;
    std::wstring setup;
    std::wstring msiPackage;
    VersionNumber osVersion;  // major and minor of the running Windows
};

// The standard templates of this PC's files; the OS version is the flow's.
UpdatePathSet StandardUpdatePaths();

// The templates and their expansions on this PC, made once per run.
struct ExpandedPathSet {
    // Copies the templates and expands them.
    explicit ExpandedPathSet(const UpdatePathSet& paths);

    // Expands the six templates into the fields below (ExpandPath).
    void ExpandPaths();

    // The installed list (expanded white-list base + extension) against the
    // downloaded one.
    FingerprintComparison WhiteListDigests() const;

    UpdatePathSet templates;
    std::wstring noUseFlag;
    std::wstring whiteListBase;
    std::wstring downloadedWhiteList;
    std::wstring updateList;
    std::wstring setup;
    std::wstring msiPackage;
};
