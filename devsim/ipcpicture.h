#ifndef IPCPICTURE_H
#define IPCPICTURE_H

// The live test picture of a simulated IPC: moving content with the current
// picture settings applied and printed on it, encoded as JPEG.
#include <cstdint>
#include <vector>

struct PictureSettings
{
    uint32_t brightness = 128;
    uint32_t contrast = 128;
    uint32_t saturation = 128;
    uint32_t mirror = 0;   // 0 normal, 1 vertical, 2 horizontal, 3 both, 4 rotated right
};

// frame: running frame number, which moves the content.
std::vector<uint8_t> renderTestPicture(const PictureSettings &settings, uint32_t frame);

#endif // IPCPICTURE_H
