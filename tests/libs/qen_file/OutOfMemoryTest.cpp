// Running out of memory inside a file helper is one more failure that its
// result reports: no exception crosses the helpers' C-style edges.
#include <windows.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "allocation_failure.h"
#include "fu_test_files.h"
#include "logged_file_test.h"
#include "qen_lib/file.h"
#include "qen_lib/fu.h"

namespace file = qen_lib::file;
using Messages = std::vector<std::wstring>;

namespace {

// Below the line reader's buffer of FU_MAX_LINE + 1 wide characters.
constexpr std::size_t FAILING_FROM = 32 * 1024;

struct Edge {
    const char* name;
    std::function<int()> call;
    int result;
};

}  // namespace

using OutOfMemory = LoggedFileTest;

TEST_F(OutOfMemory, IsTheFailureResultAtEveryEdge) {
    const std::wstring big = folder / L"big.txt";
    testing_support::write_bytes(big, std::string(FAILING_FROM, 'x'));
    const std::wstring long_path = folder / std::wstring(FAILING_FROM, L'a') + L"\\list.txt";
    std::wstring long_line(FAILING_FROM, L'b');
    Lines lines;
    const Edge edges[] = {
        {"load", [&] { bool ok = true; return file::load(big, 1 << 20, ok).empty() && !ok ? 0 : 1; }, 0},
        {"make_parent_dirs", [&] { return file::make_parent_dirs(long_path) ? 1 : 0; }, 0},
        {"FU_TraverseFileEx", [&] { return FU_TraverseFileEx(big.c_str(), LineFuncForList, &lines, 0, 0); },
         ERROR_NOT_ENOUGH_MEMORY},
        {"LineFuncForList", [&] { return LineFuncForList(long_line.data(), &lines); }, ERROR_NOT_ENOUGH_MEMORY},
        {"FU_WriteFileEx", [&] { return FU_WriteFileEx(long_path.c_str(), WriteFuncForList, &lines, 0); },
         ERROR_NOT_ENOUGH_MEMORY},
        {"FU_CreateParentDir", [&] { return FU_CreateParentDir(long_path.c_str()); }, ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const Edge& edge : edges) {
        SCOPED_TRACE(edge.name);
        try {
            const LargeAllocationsFail no_memory(FAILING_FROM);
            const int result = edge.call();
            EXPECT_EQ(edge.result, result);
        } catch (const std::bad_alloc&) {
            ADD_FAILURE() << "std::bad_alloc went through";
        }
    }
    const Messages messages = log.messages();
    ASSERT_EQ(4u, messages.size()) << "load and make_parent_dirs log their failure";
    EXPECT_EQ(L"File loading failed(12): path=" + big, messages[1]);
    EXPECT_EQ(L"qen_lib::file::make_parent_dirs:49", messages[2]);
}
