#include "ipcpicture.h"

#include "zelt_mw_cfg.h"

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

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
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
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

void fillRect(Image &img, int x0, int y0, int w, int h, const uint8_t *rgb)
{
    for (int y = std::max(0, y0); y < std::min(img.height, y0 + h); ++y) {
        for (int x = std::max(0, x0); x < std::min(img.width, x0 + w); ++x)
            std::memcpy(img.at(x, y), rgb, 3);
    }
}

uint8_t clampByte(int v)
{
    return uint8_t(std::clamp(v, 0, 255));
}

// The scene has a handful of flat colours, so the settings are applied to
// those instead of to every pixel; that keeps a full-HD frame cheap.
struct Colour
{
    uint8_t rgb[3];
};

Colour adjusted(const uint8_t *in, const PictureSettings &s)
{
    const int brightness = int(s.brightness) - 128;
    int lit[3];
    for (int c = 0; c < 3; ++c)
        lit[c] = std::min(255, int(in[c]) * int(s.exposure) / 100);
    const int grey = (lit[0] * 30 + lit[1] * 59 + lit[2] * 11) / 100;
    const int saturation = s.monochrome ? 0 : int(s.saturation);
    Colour out;
    for (int c = 0; c < 3; ++c) {
        int v = grey + (lit[c] - grey) * saturation / 128;
        v = 128 + (v - 128) * int(s.contrast) / 128;
        out.rgb[c] = clampByte(v + brightness);
    }
    return out;
}

Image mirrored(Image &src, uint32_t mode)
{
    if (mode == 0)
        return std::move(src);
    const bool rotate = mode == 4;
    Image out{rotate ? src.height : src.width, rotate ? src.width : src.height, {}};
    out.rgb.resize(src.rgb.size());
    const std::size_t rowBytes = std::size_t(src.width) * 3;
    for (int y = 0; y < src.height; ++y) {
        if (!rotate && !(mode & 2)) {
            const int ty = (mode & 1) ? src.height - 1 - y : y;
            std::memcpy(out.at(0, ty), src.at(0, y), rowBytes);
            continue;
        }
        for (int x = 0; x < src.width; ++x) {
            int tx = x;
            int ty = y;
            if (rotate) {
                tx = src.height - 1 - y;
                ty = x;
            } else {
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
    cinfo.dct_method = JDCT_IFAST;
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

uint32_t exposurePercent(const std::vector<uint8_t> &exposure)
{
    if (exposure.size() < ZELT_EXP_SIZE)
        return 100;
    const uint8_t *p = exposure.data();
    const uint32_t mode = zelt_get_u32(p, ZELT_EXP_MODE);
    const int compensation = int32_t(zelt_get_u32(p, ZELT_EXP_COMPENSATION));
    const int shutter = int(std::max<uint32_t>(1, zelt_get_u32(p, ZELT_EXP_SHUTTER)));
    const int gain = int(zelt_get_u32(p, ZELT_EXP_GAIN));
    const int iris = int(zelt_get_u32(p, ZELT_EXP_IRIS));
    double percent = 100.0;
    if (mode != 7)
        percent *= (200.0 + compensation) / 200.0;
    // 1/50 s, gain 50 and iris 50 are the neutral points.
    if (mode == 2 || mode == 7)
        percent *= 50.0 / shutter;
    if (mode == 4 || mode == 7)
        percent *= (50.0 + gain) / 100.0;
    if (mode == 3 || mode == 7)
        percent *= (25.0 + iris) / 75.0;
    return uint32_t(std::clamp(percent, 5.0, 400.0));
}

std::vector<uint8_t> renderTestPicture(const PictureSettings &settings, uint32_t frame)
{
    const int width = int(std::clamp<uint32_t>(settings.width, 64, 4096));
    const int height = int(std::clamp<uint32_t>(settings.height, 64, 4096));
    Image img{width, height, std::vector<uint8_t>(std::size_t(width * height * 3))};
    // Colour bars scrolling sideways: one row built, then copied down.
    static const uint8_t bars[7][3] = {{192, 192, 192}, {192, 192, 0}, {0, 192, 192}, {0, 192, 0},
                                       {192, 0, 192},   {192, 0, 0},   {0, 0, 192}};
    Colour barColours[7];
    for (int i = 0; i < 7; ++i)
        barColours[i] = adjusted(bars[i], settings);
    const int speed = std::max(1, width / 80);
    for (int x = 0; x < width; ++x) {
        const int bar = ((x + int(frame) * speed) / (width / 7 + 1)) % 7;
        std::memcpy(img.at(x, 0), barColours[bar].rgb, 3);
    }
    for (int y = 1; y < height; ++y)
        std::memcpy(img.at(0, y), img.at(0, 0), std::size_t(width) * 3);
    // A bouncing square and a marker in the upper left corner, which shows
    // the mirror mode.
    const int unit = height / 240 > 0 ? height / 240 : 1;
    const int side = 40 * unit;
    const int span = std::max(1, width - side);
    const int pos = int(frame * uint32_t(6 * unit) % uint32_t(2 * span));
    const int bx = pos < span ? pos : 2 * span - pos;
    static const uint8_t squareRgb[3] = {24, 24, 24};
    static const uint8_t markerRgb[3] = {255, 0, 0};
    const Colour square = adjusted(squareRgb, settings);
    const Colour marker = adjusted(markerRgb, settings);
    fillRect(img, bx, height / 2 - side / 2, side, side, square.rgb);
    fillRect(img, 0, 0, 48 * unit, 12 * unit, marker.rgb);
    fillRect(img, 0, 0, 12 * unit, 48 * unit, marker.rgb);

    Image out = mirrored(img, settings.mirror);
    static const uint8_t black[3] = {0, 0, 0};
    const int strip = 44 * unit;
    fillRect(out, 0, out.height - strip, out.width, strip, black);
    drawText(out, 6 * unit, out.height - 40 * unit,
             "B:" + std::to_string(settings.brightness) + " C:" + std::to_string(settings.contrast) + " E:"
                 + std::to_string(settings.exposure),
             2 * unit);
    drawText(out, 6 * unit, out.height - 20 * unit,
             "S:" + std::to_string(settings.saturation) + " M:" + std::to_string(settings.mirror), 2 * unit);
    return encodeJpeg(out);
}
