#include "install/OptionTools.h"

#include <windows.h>
#include <shlwapi.h>

#include "install/VersionOrder.h"

namespace {

// Both tools live beside the client's folder, not in it.
constexpr wchar_t kEtaxTool[] = L"\\..\\ZRVOptionETax\\QenETaxTool.exe";
constexpr wchar_t kZavaZuvazBefore3[] = L"\\Velmo ZavaZuvaz OptionPack\\Kestrune.exe";
constexpr wchar_t kZavaZuvazFrom3[] = L"\\..\\Velmo ZavaZuvaz OptionPack\\Dravenset.exe";

// Without a client folder the path would start at the root of the current drive.
bool ToolExists(const std::wstring& clientDirectory, const wchar_t* tool) {
    return !clientDirectory.empty() && PathFileExistsW((clientDirectory + tool).c_str()) != FALSE;
}

}  // namespace

OptionToolProbe ProbeOptionTools(CInstallContext& context, const ProductVersion& installed,
                                 const std::wstring& clientIniPath) {
    OptionToolProbe probe;
    const std::wstring& client = context.ClientDirectory();
    const bool etaxFound = ToolExists(client, kEtaxTool);
    probe.zavaZuvazFound =
        ToolExists(client, VersionOrder(installed) < VersionOrder(3, 0, 0) ? kZavaZuvazBefore3 : kZavaZuvazFrom3);
    probe.iniCopied = context.CopyClientIni(clientIniPath);
    probe.propertiesSaved = context.SavePropertiesFile();
    context.WriteOptionToolFlags(etaxFound, probe.zavaZuvazFound);
    return probe;
}
