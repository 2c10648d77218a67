#pragma once
// A folder that this program, running elevated, works in below the common
// application-data folder, or one of the client's that it uses by name, held
// open without delete sharing from when it is made or found until its last
// use, with every folder on the way down to it: while held, none of them can
// be renamed, removed or swapped for a link, so a path below it keeps naming
// what was checked.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "win/handle.h"

class HeldFolder {
public:
    // What the folder itself must be.
    enum class Last { Remade, New };

    HeldFolder() = default;
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // Holds base + subpath (which begins with "\"), walking down from the
    // base. Each folder but the last `adminOnly` ones must be a real folder,
    // not a link, and is made when missing (users may write there). The last
    // `adminOnly` ones are admin-only: those above the folder itself are kept
    // when ours, else set aside and made again (KeepOrMakeAdminOnlyFolder);
    // the folder itself is remade (RemakeAdminOnlyFolder), or for Last::New
    // must not exist yet (CreateAdminOnlyFolder). False, with the last error,
    // at the first folder that fails (a link or a file where a folder is
    // used: ERROR_CANT_RESOLVE_FILENAME), holding nothing.
    bool Make(const std::wstring& base, const std::wstring& subpath, int adminOnly, Last last);
    // Holds base + subpath as Make holds the folders users may write, but
    // makes none: each must be there already. False, with the last error, at
    // the first folder that is missing, a link or a file, holding nothing.
    bool Hold(const std::wstring& base, const std::wstring& subpath);

    // Holds the folder `path` ("C:\..." or "\\server\share\...") and every
    // folder from its root down to it, making none: each must be there and
    // be a real folder, not a link. False, with the last error, at the first
    // that fails (ERROR_CANT_RESOLVE_FILENAME for a link or a file), holding
    // nothing; a relative path fails with ERROR_BAD_PATHNAME.
    bool HoldExisting(const std::wstring& path);

    // Removes the folder with everything in it through the handle that holds
    // it, while the folders above are still held, then lets them go. Nothing
    // when nothing is held. Only a folder that Make made admin-only itself is
    // held with the delete access this needs; any other stays, emptied.
    void Remove();
    // Deletes everything in the folder through the handle that holds it, as
    // Remove does, but the folder itself stays; then lets every folder go.
    void Empty();
    // Lets every folder go; they stay.
    void Release() { m_held.clear(); }

    // Empty until Make or HoldExisting succeeds.
    const std::wstring& Path() const { return m_path; }

private:
    // The folder at `path`, the `index`th of `count` below the base, held.
    using HoldOne = std::function<win::FileHandle(const std::wstring& path, std::size_t index, std::size_t count)>;

    // Holds each folder of the sub-path from the top down through holdOne.
    bool Walk(const std::wstring& base, const std::wstring& subpath, const HoldOne& holdOne);
    win::FileHandle MakeOne(const std::wstring& path, bool ordinary, bool itself, Last last);
    bool Failed();
    // Remove (itself) or Empty.
    void Clear(bool itself);

    std::wstring m_path;
    std::vector<win::FileHandle> m_held;
};
