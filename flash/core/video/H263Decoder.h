// Decoder of Sorenson H.263 video frames (the codec of DefineVideoStream
// codec 2): baseline H.263 macroblocks after Sorenson's picture header,
// without GOB headers, with its two escape codings of coefficients.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flash {

struct H263Header {
    int version = 0;
    int width = 0, height = 0;
    int type = 0;  // 0 intra, 1 inter, 2 disposable inter
    bool deblock = false;
    int quant = 1;
    size_t dataBit = 0;  // where the macroblocks start
};

// Reads the picture header; false when the data is not a Sorenson frame.
bool readH263Header(const uint8_t* data, size_t size, H263Header& header);

class H263Decoder {
public:
    // Decodes one frame. An inter frame without a picture to predict from,
    // or damaged data, yields false; the picture then keeps what could be
    // decoded (damaged macroblocks show their prediction).
    bool decode(const uint8_t* data, size_t size);

    int width() const { return width_; }
    int height() const { return height_; }
    bool deblockRequested() const { return deblock_; }
    int quant() const { return quant_; }
    // Planes of the last decoded picture (Y, Cb, Cr), rows of stride(i) bytes.
    const uint8_t* plane(int i) const { return shown_->planes[i].data(); }
    int stride(int i) const { return i == 0 ? mbCols_ * 16 : mbCols_ * 8; }

private:
    struct Picture {
        std::vector<uint8_t> planes[3];
    };
    void allocate(int width, int height);
    bool decodeMacroblocks(class VideoBits& bits, int type, int quant, int version);

    int width_ = 0, height_ = 0, mbCols_ = 0, mbRows_ = 0;
    bool deblock_ = false;
    int quant_ = 1;
    bool haveReference_ = false;
    Picture pictures_[2];
    Picture* ref_ = &pictures_[0];  // the picture inter frames predict from
    Picture* cur_ = &pictures_[1];  // being decoded (and a disposable frame shown)
    Picture* shown_ = &pictures_[0];
    std::vector<int16_t> mvs_;  // per macroblock x, y in half pixels
};

// The in-loop-free deblocking of block edges, applied to a copy for display.
void deblockPlane(uint8_t* plane, int width, int height, int stride, int quant);

}  // namespace flash
