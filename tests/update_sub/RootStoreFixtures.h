#pragma once
// What the certificate tests share: the signed packages of the main
// program's tests, the planted store, and the prefix's machine Root store
// read and cleaned through handles of their own.
#include <string>
#include <vector>

// A signed package ("good.cab", ...); good.cab unpacked once; the planted
// store (cs1 and cs2, counters 99, one root that no package holds).
std::wstring PackageFixture(const wchar_t* name);
const std::wstring& GoodPackage();
std::wstring PlantedStore();

// The bytes of a folder's ".cer"s.
std::vector<std::string> CertFiles(const std::wstring& folder);

bool InMachineRoot(const std::string& der);

// Takes the certificates out of the machine's Root store now and again at
// the end, so that each case starts and leaves the prefix without them.
class MachineRootCleanup {
public:
    explicit MachineRootCleanup(std::vector<std::string> certs);
    ~MachineRootCleanup();

private:
    void Remove() const;
    std::vector<std::string> m_certs;
};
