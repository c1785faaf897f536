// Writes seed inputs for the header fuzzer into the folder given: plain and
// compressed movies with assorted rectangles and rates, and projectors.
#include <cstdio>
#include <string>

#include "tools/swfwriter/HeaderVariants.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: flashfile_fuzz_seeds FOLDER\n");
        return 2;
    }
    int n = 0;
    auto put = [&](uint8_t mode, const swfw::Bytes& body) {
        swfw::Bytes b{mode};
        b.insert(b.end(), body.begin(), body.end());
        swfw::writeFile(std::string(argv[1]) + "/seed" + std::to_string(n++), b);
    };
    const int bits[] = {0, 1, 13, 15, 18, 31};
    for (char sig : {'F', 'C'}) {
        for (int nb : bits) {
            swfw::HeaderSpec s;
            s.signature = sig;
            s.rectBits = nb;
            if (nb == 0) {
                s.stage = {};
            } else if (nb == 1) {
                s.stage = {0, -1, -1, 0};
            } else if (nb < 15) {
                s.stage = {0, 4000, 0, 3000};
            } else {
                s.stage = {-20, 11000, 0, 8000};
            }
            s.frameRate = 29.97;
            swfw::Bytes movie = swfw::headerMovie(s);
            put(0, movie);
            put(1, swfw::projector(swfw::fakeStub(40), movie));
        }
    }
    return 0;
}
