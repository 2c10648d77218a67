#include "support/ProgramImage.h"

#include <cstddef>
#include <cstring>

#include "support/temp_folder.h"

namespace testing_support {

WORD DllCharacteristics(const std::wstring& program) {
    const std::string image = read_bytes(program);
    IMAGE_DOS_HEADER dos{};
    if (image.size() < sizeof dos) return 0;
    std::memcpy(&dos, image.data(), sizeof dos);
    // The field lies at the same place in the 32-bit and the 64-bit headers.
    static_assert(offsetof(IMAGE_NT_HEADERS32, OptionalHeader.DllCharacteristics) ==
                  offsetof(IMAGE_NT_HEADERS64, OptionalHeader.DllCharacteristics));
    const std::size_t at =
        static_cast<std::size_t>(dos.e_lfanew) + offsetof(IMAGE_NT_HEADERS32, OptionalHeader.DllCharacteristics);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 || image.size() < at + sizeof(WORD) ||
        image.compare(static_cast<std::size_t>(dos.e_lfanew), 4, std::string("PE\0\0", 4)) != 0)
        return 0;
    WORD characteristics = 0;
    std::memcpy(&characteristics, image.data() + at, sizeof characteristics);
    return characteristics;
}

}  // namespace testing_support
