#pragma once
// The state of one end-to-end scenario: the files the site producer made for
// it laid out on the prefix's drive C:, the registry values it asks for, and
// the record of the stub that stands in for the secondary program.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/RegistryValueScope.h"
#include "support/temp_folder.h"

// One scenario made by the site producer (VUT_END_TO_END names the folder of
// the scenarios): its files laid out on drive C: for the time of a test,
// whatever stood there moved aside and put back afterwards, the auxiliary
// application's version and the Windows version it asks for, and the
// installed client's uninstall entry where it has one.
class Scenario {
public:
    explicit Scenario(const char* name);
    ~Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    // A value of its scenario.ini; "" when absent.
    std::wstring Setting(const wchar_t* key) const;
    // What the server serves under this name.
    std::string SiteFile(const std::wstring& name) const;

private:
    void LayOut(const std::wstring& root) const;
    static void PutBack(const std::wstring& root);

    std::wstring m_folder;
    std::vector<std::wstring> m_roots;
    RegistryValueScope m_auxApp;
    RegistryValueScope m_windows;
    std::optional<RegistryValueScope> m_uninstall;
};

// What the stub in place of the secondary program recorded, in a folder of
// its own for one run (VUT_STUB_RECORD while it lives).
class StubRecord {
public:
    StubRecord();
    ~StubRecord();
    StubRecord(const StubRecord&) = delete;
    StubRecord& operator=(const StubRecord&) = delete;

    bool Started() const;
    // Its arguments, joined by single blanks.
    std::wstring Arguments() const;
    // Its copy of the exchange file.
    std::wstring Exchange() const;

private:
    testing_support::TempFolder m_folder;
};
