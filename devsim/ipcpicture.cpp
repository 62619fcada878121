#include "ipcpicture.h"

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Image
{
    int width;
    int height;
    std::vector<uint8_t> rgb;
    uint8_t *at(int x, int y) { return &rgb[std::size_t((y * width + x) * 3)]; }
};

// 5x7 glyphs, one byte per row, bit 4 is the leftmost pixel.
struct Glyph { char ch; uint8_t rows[7]; };
const Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}}, {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
};

void drawText(Image &img, int x, int y, const std::string &text, int scale)
{
    for (char ch : text) {
        const Glyph *glyph = nullptr;
        for (const Glyph &g : kGlyphs) {
            if (g.ch == ch)
                glyph = &g;
        }
        if (glyph) {
            for (int row = 0; row < 7; ++row) {
                for (int col = 0; col < 5; ++col) {
                    if (!(glyph->rows[row] & (0x10 >> col)))
                        continue;
                    for (int dy = 0; dy < scale; ++dy) {
                        for (int dx = 0; dx < scale; ++dx) {
                            const int px = x + col * scale + dx;
                            const int py = y + row * scale + dy;
                            if (px >= 0 && py >= 0 && px < img.width && py < img.height)
                                std::memset(img.at(px, py), 255, 3);
                        }
                    }
                }
            }
        }
        x += 6 * scale;
    }
}

void fillRect(Image &img, int x0, int y0, int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    for (int y = std::max(0, y0); y < std::min(img.height, y0 + h); ++y) {
        for (int x = std::max(0, x0); x < std::min(img.width, x0 + w); ++x) {
            uint8_t *p = img.at(x, y);
            p[0] = r;
            p[1] = g;
            p[2] = b;
        }
    }
}

uint8_t clampByte(int v)
{
    return uint8_t(std::clamp(v, 0, 255));
}

void applySettings(Image &img, const PictureSettings &s)
{
    const int brightness = int(s.brightness) - 128;
    for (std::size_t i = 0; i < img.rgb.size(); i += 3) {
        uint8_t *p = &img.rgb[i];
        const int grey = (p[0] * 30 + p[1] * 59 + p[2] * 11) / 100;
        for (int c = 0; c < 3; ++c) {
            int v = grey + (int(p[c]) - grey) * int(s.saturation) / 128;
            v = 128 + (v - 128) * int(s.contrast) / 128;
            p[c] = clampByte(v + brightness);
        }
    }
}

Image mirrored(Image &src, uint32_t mode)
{
    if (mode == 0)
        return src;
    const bool rotate = mode == 4;
    Image out{rotate ? src.height : src.width, rotate ? src.width : src.height, {}};
    out.rgb.resize(src.rgb.size());
    for (int y = 0; y < src.height; ++y) {
        for (int x = 0; x < src.width; ++x) {
            int tx = x;
            int ty = y;
            if (rotate) {
                tx = src.height - 1 - y;
                ty = x;
            } else {
                if (mode & 2)
                    tx = src.width - 1 - x;
                if (mode & 1)
                    ty = src.height - 1 - y;
            }
            std::memcpy(out.at(tx, ty), src.at(x, y), 3);
        }
    }
    return out;
}

std::vector<uint8_t> encodeJpeg(Image &img)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(img.width);
    cinfo.image_height = JDIMENSION(img.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 75, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = img.at(0, int(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return out;
}

} // namespace

std::vector<uint8_t> renderTestPicture(const PictureSettings &settings, uint32_t frame)
{
    Image img{kWidth, kHeight, std::vector<uint8_t>(std::size_t(kWidth * kHeight * 3))};
    // Colour bars scrolling sideways.
    static const uint8_t bars[7][3] = {{192, 192, 192}, {192, 192, 0}, {0, 192, 192}, {0, 192, 0},
                                       {192, 0, 192},   {192, 0, 0},   {0, 0, 192}};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int bar = ((x + int(frame) * 4) / (kWidth / 7 + 1)) % 7;
            std::memcpy(img.at(x, y), bars[bar], 3);
        }
    }
    // A bouncing square and a marker in the upper left corner, which shows
    // the mirror mode.
    const int span = kWidth - 40;
    const int pos = int(frame * 6 % uint32_t(2 * span));
    const int bx = pos < span ? pos : 2 * span - pos;
    fillRect(img, bx, kHeight / 2 - 20, 40, 40, 24, 24, 24);
    fillRect(img, 0, 0, 48, 12, 255, 0, 0);
    fillRect(img, 0, 0, 12, 48, 255, 0, 0);

    applySettings(img, settings);
    Image out = mirrored(img, settings.mirror);
    fillRect(out, 0, out.height - 44, out.width, 44, 0, 0, 0);
    drawText(out, 6, out.height - 40, "B:" + std::to_string(settings.brightness) + " C:" + std::to_string(settings.contrast), 2);
    drawText(out, 6, out.height - 20, "S:" + std::to_string(settings.saturation) + " M:" + std::to_string(settings.mirror), 2);
    return encodeJpeg(out);
}
