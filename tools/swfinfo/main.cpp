// swfinfo FILE...: prints for each file one JSON line with the header record
// the player reads (GetFlashFileAttr). Files that are missing or unreadable get
// an "error" field and make the exit status 1.
#include <cstdio>
#include <string>

#include "flashfile/FlashFileAttr.h"
#include "platform/ExclusiveFile.h"
#include "tools/swfinfo/AttrJson.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: swfinfo FILE...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string path = argv[i];
        kv::TFlashFileAttr attr;
        std::string error;
        try {
            if (!kv::ExclusiveFile::exists(path)) error = "no such file";
            kv::GetFlashFileAttr(path, attr);
        } catch (const kv::FileReadError& e) {
            error = e.what();
        }
        if (!error.empty()) status = 1;
        std::printf("%s\n", kv::flashFileAttrJson(path, attr, error).c_str());
    }
    return status;
}
