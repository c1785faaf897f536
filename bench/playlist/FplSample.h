// A large ".fpl" file for timing: n items with GBK folder names.
#pragma once

#include <string>

namespace kvbench {

inline std::string LargeFplText(int items) {
    std::string text = "[PlayList]\r\n";
    text.reserve(static_cast<std::size_t>(items) * 80);
    for (int i = 1; i <= items; ++i) {
        std::string n = std::to_string(i);
        // D:\动画\合集\movie_<n>.swf, written as GBK bytes.
        text += "File" + n + "=D:\\\xb6\xaf\xbb\xad\\\xba\xcf\xbc\xaf\\movie_" + n + ".swf\r\n";
        text += "Title" + n + "=movie_" + n + "\r\n";
    }
    text += "[Other]\r\nkept=1\r\n";
    return text;
}

}  // namespace kvbench
