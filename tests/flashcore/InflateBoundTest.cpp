// A small compressed movie whose body inflates to hundreds of megabytes is
// refused without taking that memory; ordinary compressed movies still load.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "flash/core/Movie.h"
#include "flash/core/Player.h"

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on
#endif

namespace {

// A CWS file declaring `declared` bytes whose stream inflates to `zeros` zero bytes.
std::vector<uint8_t> compressedZeros(size_t zeros, uint32_t declared) {
    std::vector<uint8_t> out = {'C', 'W', 'S', 8};
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(declared >> (8 * i)));
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    deflateInit(&zs, 9);
    std::vector<uint8_t> chunk(1 << 20, 0), buf(1 << 16);
    size_t left = zeros;
    int flush = Z_NO_FLUSH;
    do {
        if (zs.avail_in == 0 && left > 0) {
            size_t n = std::min(left, chunk.size());
            zs.next_in = chunk.data();
            zs.avail_in = static_cast<uInt>(n);
            left -= n;
        }
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        zs.next_out = buf.data();
        zs.avail_out = static_cast<uInt>(buf.size());
        int rc = deflate(&zs, flush);
        out.insert(out.end(), buf.data(), buf.data() + (buf.size() - zs.avail_out));
        if (rc == Z_STREAM_END) break;
    } while (true);
    deflateEnd(&zs);
    return out;
}

#ifdef _WIN32
// Private bytes now and at their peak.
size_t currentBytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage;
}
size_t peakBytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PeakPagefileUsage;
}
#else
size_t statusKb(const char* key) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line)) {
        if (line.compare(0, std::strlen(key), key) == 0)
            return std::stoul(line.substr(std::strlen(key) + 1)) * 1024;
    }
    return 0;
}
size_t currentBytes() {
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    return statusKb("VmRSS");
}
size_t peakBytes() { return statusKb("VmHWM"); }
#endif

}  // namespace

TEST(InflateBound, CompressedBombIsRefusedWithoutItsMemory) {
    const std::vector<uint8_t> bomb = compressedZeros(size_t(200) << 20, 0xFFFFFFFFu);
    ASSERT_LT(bomb.size(), size_t(400) << 10);
    const size_t before = currentBytes();
    flash::Player player;
    EXPECT_FALSE(player.load(bomb.data(), bomb.size()));
    const size_t peak = peakBytes();
    EXPECT_LT(peak > before ? peak - before : 0, size_t(64) << 20) << "peak " << (peak >> 20) << " MB";
}

TEST(InflateBound, BodiesWithinTheBoundsInflateToTheirDeclaredLength) {
    struct Case {
        size_t zeros;
        uint32_t declared;
        bool ok;
        size_t body;
    } cases[] = {
        {1000, 1008, true, 1000},                           // as declared
        {5000, 1008, true, 1000},                           // longer stream: cut at the declared length
        {size_t(20) << 20, 0xFFFFFFFFu, false, 0},          // 20 MB from ~20 KB: past the bound
        {size_t(8) << 20, (8u << 20) + 8, true, 8u << 20},  // below the minimum bound
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = compressedZeros(c.zeros, c.declared);
        flash::MovieHeader header;
        std::vector<uint8_t> body;
        EXPECT_EQ(flash::readContainer(file.data(), file.size(), header, body), c.ok) << c.zeros;
        EXPECT_EQ(body.size(), c.body) << c.zeros;
    }
}
