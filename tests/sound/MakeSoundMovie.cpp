// make_sound_movie OUT.swf [SECONDS [MP3]]: a 12 fps movie whose stream
// sound is a 440 Hz tone at half of full scale (22.05 kHz, 16-bit mono), one
// block per frame; or, given an MP3 file (22.05 kHz mono), a stream of its
// frames. The black-box test plays it in the real program.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/flashcore/SoundSupport.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    double seconds = argc > 2 ? std::atof(argv[2]) : 30;
    swfw::Movie m;
    if (argc > 3) {
        std::ifstream f(argv[3], std::ios::binary);
        swfw::Bytes mp3((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        if (mp3.empty()) return 1;
        m = fctest::mp3StreamMovie(mp3, 2, 12);
    } else {
        m = fctest::streamMovie(fctest::tone(440, 22050, seconds, 0.5), 2, 12);
    }
    return swfw::writeFile(argv[1], m.build()) ? 0 : 1;
}
