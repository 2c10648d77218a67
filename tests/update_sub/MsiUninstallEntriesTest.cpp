// The exchange file's MsiExec orders are input from a file a user can write:
// only an uninstall of one product with quiet switches gets through.
#include <gtest/gtest.h>

#include "InstallFakes.h"
#include "install/MsiUninstallEntries.h"
#include "messages/SubMessages.h"

namespace {
const std::wstring kGuid = PRODUCT_CODE;
const std::wstring kLowerGuid = L"{7e3b91c4-2a6f-4d08-9b5e-c41f0a7d3e62}";
}  // namespace

TEST(MsiUninstallArguments, OnlyAnUninstallOfOneProductWithQuietSwitches) {
    struct Case {
        const char* name;
        std::wstring entry;
        const wchar_t* arguments;  // nullptr: refused
    };
    const Case cases[] = {
        {"lowercase x", L"/x " + kGuid, L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62} /q"},
        {"uppercase X", L"/X " + kGuid, L"/X {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62} /q"},
        {"lowercase digits", L"/x " + kLowerGuid, L"/x {7e3b91c4-2a6f-4d08-9b5e-c41f0a7d3e62} /q"},
        {"quiet switches kept", L"/x " + kGuid + L" /qn /norestart",
         L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62} /qn /norestart /q"},
        {"passive dropped", L"/x " + kGuid + L" /passive", L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62} /q"},
        {"switch case", L"/x " + kGuid + L" /QN /Passive", L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62} /QN /q"},
        {"blanks and tabs", L"  /x\t" + kGuid + L"   /qn  ", L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62} /qn /q"},
        {"missing braces", L"/x 7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62", nullptr},
        {"one brace", L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62", nullptr},
        {"not hexadecimal", L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3EZZ}", nullptr},
        {"short group", L"/x {7E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E6}", nullptr},
        {"full-width digit", L"/x {７E3B91C4-2A6F-4D08-9B5E-C41F0A7D3E62}", nullptr},
        {"install instead", L"/i " + kGuid, nullptr},
        {"dash switch", L"-x " + kGuid, nullptr},
        {"no product", L"/x", nullptr},
        {"two products", L"/x " + kGuid + L" " + kGuid, nullptr},
        {"a property", L"/x " + kGuid + L" REBOOT=Force", nullptr},
        {"a log file", L"/x " + kGuid + L" /l*v C:\\log.txt", nullptr},
        {"a package path", L"/x C:\\Users\\Public\\evil.msi", nullptr},
        {"chained with &", L"/x " + kGuid + L" & calc.exe", nullptr},
        {"chained with &&", L"/x " + kGuid + L"&&calc.exe", nullptr},
        {"quote", L"/x \"" + kGuid + L"\"", nullptr},
        {"transform", L"/x " + kGuid + L" TRANSFORMS=x.mst", nullptr},
        {"empty", L"", nullptr},
        {"whitespace", L" \t ", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MsiUninstallArguments(c.entry).value_or(L"<refused>"), c.arguments ? c.arguments : L"<refused>")
            << c.name;
    }
}

TEST(SplitMsiUninstallEntries, SplitsAtEverySemicolonSkipsBlanksAndRefusesTheRest) {
    struct Case {
        const char* name;
        std::wstring text;
        std::vector<std::wstring> arguments;
        std::vector<std::wstring> refused;
    };
    const std::wstring run = L"/x " + kGuid + L" /q";
    const Case cases[] = {
        {"as the main program writes it", L" ;/x " + kGuid + L" /passive ;/X " + kGuid, {run, L"/X " + kGuid + L" /q"}, {}},
        {"empty", L"", {}, {}},
        {"only separators and blanks", L" ; ;\t;", {}, {}},
        {"empty entry between good ones", L" ;/x " + kGuid + L" ; ;/x " + kGuid, {run, run}, {}},
        {"no character leaks over", L" ;/x " + kGuid + L" /qn;& calc ;/x " + kGuid,
         {L"/x " + kGuid + L" /qn /q", run}, {L"& calc"}},
        {"bad entry refused, good ones kept", L" ;/i " + kGuid + L" ;/x " + kGuid, {run}, {L"/i " + kGuid}},
        {"chained command", L" ;/x " + kGuid + L" | del C:\\x", {}, {L"/x " + kGuid + L" | del C:\\x"}},
        {"text before the first separator", L"/x " + kGuid + L";/x " + kGuid, {run, run}, {}},
    };
    for (const Case& c : cases) {
        const MsiUninstallEntries entries = SplitMsiUninstallEntries(c.text);
        EXPECT_EQ(entries.arguments, c.arguments) << c.name;
        EXPECT_EQ(entries.refused, c.refused) << c.name;
    }
}

TEST(SubMessages, UninstallFailureAndRefusedOrders) {
    EXPECT_EQ(UninstallFailedText().str(),
              L"「Velmoご利用ソフト」のアンインストールに失敗しました(エラー：K702)。\n詳細は以下リンクの「Q05-04 "
              L"『ご利用ソフト更新ツール』 エラー番号ごとの対応方法」をご参照ください。\n");
    EXPECT_EQ(RefusedOrdersText({}).str(), L"");
    EXPECT_EQ(RefusedOrdersText({L"/i {A}", L"& calc"}).str(),
              L"\n次のアンインストール指示は正しくないため実行しませんでした。\n・/i {A}\n・& calc");
}
