// The program's arguments as the shell hands them over. A path written
// without quotes arrives split at its blanks; it is joined back when the
// joined text names an existing file. Portable: no Windows headers.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kv {

// When the first argument names no file but the first k arguments joined by
// single blanks do (the longest such k wins), those k become one argument.
// Otherwise the arguments are returned as given.
std::vector<std::string> JoinSplitPath(std::vector<std::string> params,
                                       const std::function<bool(const std::string&)>& fileExists);

}  // namespace kv
