// A play window that records the files it is asked to play.
#pragma once

#include <string>
#include <vector>

#include "playback/PlayForm.h"

namespace kv::test {

class SpyPlayForm : public TPlayForm {
public:
    std::vector<std::string> files;
    void playAFile(const std::string& p) override { files.push_back(p); }
};

}  // namespace kv::test
