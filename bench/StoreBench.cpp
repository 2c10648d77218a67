// store_bench FOLDER: opens the certificate store in FOLDER and reads every
// certificate file, as the root-certificate package check does: the first
// run, then the best of three more, each with a new store object; then the
// process's working set before the first run and its peak. One result a
// line: NAME VALUE.
#include <windows.h>
#include <psapi.h>

#include <cstdio>

#include "bench_clock.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"

namespace {

PROCESS_MEMORY_COUNTERS memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: store_bench FOLDER\n");
        return 2;
    }
    const SIZE_T baseline = memory().WorkingSetSize;
    std::size_t certs = 0;
    int result = -1;
    const auto openAndLoad = [&] {
        const auto store = vornpath::pki::CreateFileBaseCertificateStore(argv[1], result);
        if (result == vornpath::pki::STORE_OK) certs = store->GetAllCerts(result).size();
        return result == vornpath::pki::STORE_OK;
    };
    const double start = bench::now();
    const bool opened = openAndLoad();
    const double first = bench::now() - start;
    const double best = opened ? bench::best_seconds(openAndLoad) : -1;
    if (best < 0) {
        std::printf("failed %d\n", result);
        return 1;
    }
    std::printf("certs %u\n", static_cast<unsigned>(certs));
    std::printf("first_s %.4f\n", first);
    std::printf("best_s %.4f\n", best);
    std::printf("baseline_kib %lu\n", static_cast<unsigned long>(baseline / 1024));
    std::printf("peak_kib %lu\n", static_cast<unsigned long>(memory().PeakWorkingSetSize / 1024));
    return 0;
}
