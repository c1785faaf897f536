#include "platform/CommandLine.h"

namespace kv {

std::vector<std::string> JoinSplitPath(std::vector<std::string> params,
                                       const std::function<bool(const std::string&)>& fileExists) {
    if (params.size() < 2 || fileExists(params[0])) return params;
    std::string joined = params[0];
    std::size_t best = 0;
    std::string bestPath;
    for (std::size_t k = 1; k < params.size(); ++k) {
        joined += ' ';
        joined += params[k];
        if (fileExists(joined)) {
            best = k;
            bestPath = joined;
        }
    }
    if (best == 0) return params;
    std::vector<std::string> out;
    out.push_back(bestPath);
    out.insert(out.end(), params.begin() + static_cast<std::ptrdiff_t>(best) + 1, params.end());
    return out;
}

}  // namespace kv
