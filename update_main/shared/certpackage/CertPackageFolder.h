#pragma once
// The folder that a root-certificate package is unpacked into, with its two
// store folders "cs1" and "cs2". It lies in the data folder, where other
// users of the PC may write, and the cabinet's members are written into it
// by path: so all three are made afresh, none where anything stood before,
// and held from then on without delete sharing, so that nobody can rename
// one away and put a link or a folder of theirs in its place.
#include <string>

#include "win/handle.h"

class CertPackageFolder {
public:
    CertPackageFolder() = default;
    CertPackageFolder(const CertPackageFolder&) = delete;
    CertPackageFolder& operator=(const CertPackageFolder&) = delete;

    // Removes what stands at path (a link there is never entered), makes the
    // folder and its "cs1" and "cs2" anew and holds all three. False, with the
    // last error, when the old folder cannot be removed, anything stands
    // where one of them is made (ERROR_ALREADY_EXISTS), or one is no plain
    // folder once opened (ERROR_CANT_RESOLVE_FILENAME); nothing is held then.
    bool Make(const std::wstring& path);

    // Whether the path of the store folder `store` ("cs1" or "cs2") still
    // leads to the folder held there. Held, it cannot be renamed on Windows;
    // a rename that ignores sharing (from Wine's host side) is caught here,
    // before anything is written by that path.
    bool LeadsToHeldStore(const std::wstring& store) const;

    const std::wstring& Path() const { return m_path; }

private:
    struct Store {
        const wchar_t* name;
        win::FileHandle held;
    };
    bool MakeStore(Store& store);
    std::wstring StorePath(const Store& store) const;
    void Release();
    bool Failed();

    std::wstring m_path;
    win::FileHandle m_folder;
    Store m_stores[2] = {{L"cs1", {}}, {L"cs2", {}}};
};
