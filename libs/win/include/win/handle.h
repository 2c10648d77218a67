#pragma once
// Owning wrappers for Win32 handles: one small move-only class per kind of
// handle, so that every error path closes exactly once.
#include <utility>
#include <windows.h>
#include <userenv.h>
#include <wincrypt.h>

namespace win {

// Traits give the empty value(s) and the close call of one kind of handle.
template <class Traits>
class Unique {
public:
    using handle_type = typename Traits::handle_type;

    Unique() = default;
    explicit Unique(handle_type h) : m_h(h) {}
    ~Unique() { reset(); }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : m_h(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    handle_type get() const { return m_h; }
    bool valid() const { return Traits::valid(m_h); }
    explicit operator bool() const { return valid(); }

    handle_type release() { return std::exchange(m_h, Traits::empty()); }
    void reset(handle_type h = Traits::empty()) {
        const handle_type old = std::exchange(m_h, h);
        if (Traits::valid(old)) Traits::close(old);
    }
    // For calls that return a handle through an out-parameter.
    handle_type* put() { reset(); return &m_h; }

private:
    handle_type m_h = Traits::empty();
};

template <class H, H Empty, class Close>
struct NullTraits {
    using handle_type = H;
    static H empty() { return Empty; }
    static bool valid(H h) { return h != Empty; }
    static void close(H h) { Close{}(h); }
};

struct CloseKernel { void operator()(HANDLE h) const { ::CloseHandle(h); } };
struct CloseRegKey { void operator()(HKEY h) const { ::RegCloseKey(h); } };
struct FreeModule { void operator()(HMODULE h) const { ::FreeLibrary(h); } };
struct DeleteGdi { void operator()(HGDIOBJ h) const { ::DeleteObject(h); } };
struct DestroyIconCursor { void operator()(HICON h) const { ::DestroyIcon(h); } };
struct UnmapView { void operator()(void* p) const { ::UnmapViewOfFile(p); } };
struct FreeLocal { void operator()(HLOCAL h) const { ::LocalFree(h); } };
struct DestroyEnvironment { void operator()(void* p) const { ::DestroyEnvironmentBlock(p); } };
struct UnhookWindowsHook { void operator()(HHOOK h) const { ::UnhookWindowsHookEx(h); } };

// Files and other kernel objects that use INVALID_HANDLE_VALUE as failure;
// NULL counts as empty too, so a handle from either kind of call fits.
struct FileTraits {
    using handle_type = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void close(HANDLE h) { ::CloseHandle(h); }
};

using FileHandle = Unique<FileTraits>;

// Folder searches (FindFirstFileW).
struct FindTraits {
    using handle_type = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { ::FindClose(h); }
};
using FindHandle = Unique<FindTraits>;
// Processes, threads, events and file mappings (NULL on failure).
using KernelHandle = Unique<NullTraits<HANDLE, nullptr, CloseKernel>>;
using RegKey = Unique<NullTraits<HKEY, nullptr, CloseRegKey>>;
using Module = Unique<NullTraits<HMODULE, nullptr, FreeModule>>;
using GdiObject = Unique<NullTraits<HGDIOBJ, nullptr, DeleteGdi>>;
using IconHandle = Unique<NullTraits<HICON, nullptr, DestroyIconCursor>>;
using MappedView = Unique<NullTraits<void*, nullptr, UnmapView>>;
using LocalMemory = Unique<NullTraits<HLOCAL, nullptr, FreeLocal>>;
// Environment blocks from CreateEnvironmentBlock (userenv).
using EnvironmentBlock = Unique<NullTraits<void*, nullptr, DestroyEnvironment>>;
using WindowsHook = Unique<NullTraits<HHOOK, nullptr, UnhookWindowsHook>>;

// CryptoAPI provider, key and hash handles (all ULONG_PTR, 0 when empty).
struct ReleaseCryptProv { void operator()(HCRYPTPROV h) const { ::CryptReleaseContext(h, 0); } };
struct DestroyCryptKey { void operator()(HCRYPTKEY h) const { ::CryptDestroyKey(h); } };
struct DestroyCryptHash { void operator()(HCRYPTHASH h) const { ::CryptDestroyHash(h); } };

using CryptProv = Unique<NullTraits<HCRYPTPROV, 0, ReleaseCryptProv>>;
using CryptKey = Unique<NullTraits<HCRYPTKEY, 0, DestroyCryptKey>>;
using CryptHash = Unique<NullTraits<HCRYPTHASH, 0, DestroyCryptHash>>;

// Certificate stores and certificate contexts (NULL when empty).
struct CloseCertStore { void operator()(HCERTSTORE h) const { ::CertCloseStore(h, 0); } };
struct FreeCertContext {
    void operator()(PCCERT_CONTEXT c) const { ::CertFreeCertificateContext(c); }
};

using CertStore = Unique<NullTraits<HCERTSTORE, nullptr, CloseCertStore>>;
using CertContext = Unique<NullTraits<PCCERT_CONTEXT, nullptr, FreeCertContext>>;

// COM interface pointers, each holding the one reference it was given, and
// the strings COM allocates (NULL when empty).
struct ReleaseCom { void operator()(IUnknown* p) const { p->Release(); } };
struct FreeBstr { void operator()(BSTR s) const { ::SysFreeString(s); } };

template <class Interface>
using ComPtr = Unique<NullTraits<Interface*, nullptr, ReleaseCom>>;
using Bstr = Unique<NullTraits<BSTR, nullptr, FreeBstr>>;

}  // namespace win
