// Owns a WinINet handle (session, connection or request).
#pragma once

#include <windows.h>
#include <wininet.h>

#include "ui/Handles.h"

namespace kv {

struct InternetTraits {
    static HINTERNET invalid() { return nullptr; }
    static bool valid(HINTERNET h) { return h != nullptr; }
    static void close(HINTERNET h) { InternetCloseHandle(h); }
};
using UniqueInternet = UniqueHandle<HINTERNET, InternetTraits>;

}  // namespace kv
