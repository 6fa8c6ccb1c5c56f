#pragma once

#include <string>
#include <vector>

// Turns RGB frames into a YUV4MPEG2 stream at 25 frames per second: 4:2:0 chroma centred
// between the luma samples ("C420jpeg", each chroma sample the mean of a 2x2 block), limited
// range (luma 16..235, chroma 16..240) with the BT.601 matrix. That is what encoders and
// players take by default for yuv420p video, so `ffmpeg -i - out.mp4` needs no options.
// Width and height must be even. Integer arithmetic only: a frame always gives the same
// bytes.
class Y4mEncoder {
public:
    Y4mEncoder(int width, int height);

    static bool SizeAllowed(int width, int height) {
        return width > 0 && height > 0 && width % 2 == 0 && height % 2 == 0;
    }

    // The stream header, ending with its newline.
    std::string Header() const;
    // "FRAME\n" and the Y, Cb and Cr planes of width x height RGB pixels (top row first).
    // The buffer is reused by the next call.
    const std::vector<unsigned char>& Encode(const std::vector<unsigned char>& rgb);

    static constexpr int FramesPerSecond = 25;

private:
    int m_Width;
    int m_Height;
    std::vector<unsigned char> m_Frame;
};
