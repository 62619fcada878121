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
    uint32_t exposure = 100;   // light reaching the sensor, percent of the automatic exposure
    bool monochrome = false;   // day/night switched to black and white
    uint32_t width = 320;
    uint32_t height = 240;
};

// Percentage of light the exposure structure (command 20) lets through.
uint32_t exposurePercent(const std::vector<uint8_t> &exposure);

// frame: running frame number, which moves the content.
std::vector<uint8_t> renderTestPicture(const PictureSettings &settings, uint32_t frame);

#endif // IPCPICTURE_H
