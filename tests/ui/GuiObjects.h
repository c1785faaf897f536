// Counts of the process's GDI objects and of the thread's windows, for leak
// tests. GetGuiResources counts GDI objects on Windows; Wine answers 0, so
// there the live entries of the GDI handle table that the process environment
// block points to are counted instead.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kv::test {

inline DWORD gdiObjectCount() {
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n) return n;
#if defined(__i386__)
    // The layout of one table entry (24 bytes; the object type at offset 14).
    struct Entry {
        std::uint64_t object;
        std::uint32_t owner;
        std::uint16_t unique;
        std::uint8_t type;
        std::uint8_t flags;
        std::uint64_t user;
    };
    static_assert(sizeof(Entry) == 24, "GDI handle entry");
    const BYTE* peb = nullptr;
    asm("movl %%fs:0x30, %0" : "=r"(peb));                             // the process environment block
    auto* table = *reinterpret_cast<const Entry* const*>(peb + 0x94);  // GdiSharedHandleTable
    if (!table) return 0;
    MEMORY_BASIC_INFORMATION mi{};
    if (!VirtualQuery(table, &mi, sizeof mi)) return 0;
    size_t entries =
        (static_cast<const BYTE*>(mi.BaseAddress) + mi.RegionSize - reinterpret_cast<const BYTE*>(table)) /
        sizeof(Entry);
    if (entries > 0x10000) entries = 0x10000;
    for (size_t i = 0; i < entries; ++i)
        if (table[i].type) ++n;
#endif
    return n;
}

inline BOOL CALLBACK countChildWindow(HWND, LPARAM lp) {
    ++*reinterpret_cast<DWORD*>(lp);
    return TRUE;
}

inline BOOL CALLBACK countThreadWindow(HWND h, LPARAM lp) {
    ++*reinterpret_cast<DWORD*>(lp);
    EnumChildWindows(h, &countChildWindow, lp);
    return TRUE;
}

// The windows of the calling thread, child windows included.
inline DWORD threadWindowCount() {
    DWORD n = 0;
    EnumThreadWindows(GetCurrentThreadId(), &countThreadWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

}  // namespace kv::test
