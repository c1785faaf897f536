// The listing of one folder for the directory walker: FindFirstFile on
// Windows, readdir elsewhere.
#include "playlist/DirectoryWalker.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace kv {

#ifdef _WIN32

const char kPathSeparator = '\\';
const std::size_t kMaxWalkPath = MAX_PATH - 1;

namespace {
bool IsDotName(const char* n) { return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)); }
}  // namespace

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    std::string pattern = folder + "*.*";
    WIN32_FIND_DATAA fd;
    // The basic information level skips the short names; large fetches cut
    // the calls into the file system.
    HANDLE h = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        h = FindFirstFileA(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (IsDotName(fd.cFileName)) continue;
        FolderEntry e;
        e.name = fd.cFileName;
        // Junctions and links to folders are reparse points: not entered.
        e.isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (e.isFolder && (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        out.push_back(std::move(e));
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return true;
}

#else

const char kPathSeparator = '/';
const std::size_t kMaxWalkPath = 4095;

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    DIR* d = opendir(folder.c_str());
    if (!d) return false;
    std::string path;
    while (dirent* de = readdir(d)) {
        const char* n = de->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
        FolderEntry e;
        e.name = n;
        if (de->d_type == DT_DIR) {
            e.isFolder = true;
        } else if (de->d_type == DT_LNK) {
            // A link to a folder is not entered; a link to anything else is a file.
            struct stat st;
            path = folder + n;
            if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        } else if (de->d_type == DT_UNKNOWN) {
            struct stat st;
            path = folder + n;
            if (lstat(path.c_str(), &st) != 0) continue;
            if (S_ISLNK(st.st_mode)) {
                if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
            } else {
                e.isFolder = S_ISDIR(st.st_mode);
            }
        }
        out.push_back(std::move(e));
    }
    closedir(d);
    return true;
}

#endif

}  // namespace kv
