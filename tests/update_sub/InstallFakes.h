#pragma once
// Stand-ins for the machine in the install tests: a program runner that
// records what would start, registry keys and a Windows folder of the
// test's own.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "install/ProgramRunner.h"
#include "install/RegistryPlaces.h"
#include "support/ScopedEnvironment.h"
#include "support/temp_folder.h"

// A product code of the shape MsiExec takes.
inline const std::wstring PRODUCT_CODE = L"{7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62}";

// Records every command line in order and answers with `starts`; `onRun`,
// when set, plays the started program's part (an uninstaller removing the
// client, say).
class RecordingRunner : public ProgramRunner {
public:
    void UseEnvironment(std::vector<wchar_t> block) override { environment = std::move(block); }
    bool RunCommandLineAndWait(const std::wstring& commandLine) override;

    std::vector<wchar_t> environment;
    std::vector<std::wstring> started;
    bool starts = true;
    std::function<void(const std::wstring&)> onRun;
};

// A fresh key below HKCU for one test, removed with everything below it.
class TestRegistryKey {
public:
    TestRegistryKey();
    ~TestRegistryKey();
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    RegistryPlace Place() const { return {HKEY_CURRENT_USER, m_path}; }
    // Writes `name` = bytes of `type` in the subkey (created when missing).
    void SetValue(const std::wstring& subkey, const wchar_t* name, DWORD type, const void* data, DWORD size) const;
    // The text's characters alone, with no terminator stored. Windows adds
    // the terminator of a string value when the character after the counted
    // ones is NUL, so the text is written from a copy followed by another.
    void SetUnterminated(const std::wstring& subkey, const wchar_t* name, DWORD type, const std::wstring& text) const;
    // A text value with its terminator.
    void SetText(const std::wstring& subkey, const wchar_t* name, const std::wstring& text,
                 DWORD type = REG_SZ) const;

private:
    std::wstring m_path;
};

// PendingFileRenameOperations of the prefix's own Session Manager key, raw.
// Tests that write it hold the pending_file_renames lock and name only files
// that do not exist: Wine carries the renames out at its next start.
struct PendingRenamesValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    // The text's bytes as a present value of `type`.
    static PendingRenamesValue Of(const std::wstring& text, DWORD type = REG_MULTI_SZ);
    static PendingRenamesValue Read();
    // Writes the value, or deletes it when it is not present.
    static void Write(const PendingRenamesValue& value);

    friend bool operator==(const PendingRenamesValue& a, const PendingRenamesValue& b) {
        return a.present == b.present && a.type == b.type && a.data == b.data;
    }
};

// Each part and its NUL, then the list's own NUL.
std::wstring MultiString(std::initializer_list<const wchar_t*> parts);

// "C:\windows\system32\<name>" in double quotes, as the runner is to see it.
std::wstring QuotedSystemProgram(const wchar_t* name);

// A recorded command line as a table writes it: the first of the (start,
// name) pairs whose start begins the line is replaced by its name.
using ShortNames = std::vector<std::pair<std::wstring, std::wstring>>;
std::wstring Shortened(const std::wstring& line, const ShortNames& names);

// Points WINDIR, where the client's INI file is read, at a folder of its own.
class PrivateWindowsFolder {
public:
    std::wstring ClientIni() const { return m_folder / L"ZRVCAVelmo.ini"; }

private:
    testing_support::TempFolder m_folder;
    ScopedEnvironmentVariable m_windir{L"WINDIR", m_folder.path()};
};

// The folder of the running test program, where the installer would put our
// programs: the deployment's script may run from there.
std::wstring TestProgramFolder();

// The probe program beside the tests (CommandLineProbe.cpp), and what a copy
// of it at `probe` recorded at its last run: the command line it got, and
// the "NAME=value" entries of its environment in the order it got them.
std::wstring ProbeProgram();
std::wstring ProbeCommandLine(const std::wstring& probe);
std::vector<std::wstring> ProbeEnvironment(const std::wstring& probe);
// The value of the variable `name` (any case) among "NAME=value" entries;
// ABSENT when there is none.
std::wstring VariableOf(const std::vector<std::wstring>& entries, const std::wstring& name);

// A script of the test's own directly beside the test program, removed at
// the end.
class ScriptBesideTheProgram {
public:
    explicit ScriptBesideTheProgram(const std::string& text = "WScript.Quit 0\r\n");
    ~ScriptBesideTheProgram();
    ScriptBesideTheProgram(const ScriptBesideTheProgram&) = delete;
    ScriptBesideTheProgram& operator=(const ScriptBesideTheProgram&) = delete;

    const std::wstring& path() const { return m_path; }

private:
    std::wstring m_path;
};

// The links that the test set-up planted from the Linux side (a Windows
// program under Wine cannot make one), as seen through drive Z:.
std::wstring PlantedLinks();
