#ifndef IPCCONFIG_H
#define IPCCONFIG_H

// The configuration structures one simulated IPC holds, their validation and
// the configuration file the device exports and imports.
#include "ipcmodel.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class IpcConfig
{
public:
    IpcConfig(const IpcModel &model, const std::string &strIp);

    const IpcModel &model() const { return *m_model; }

    // Results are ZELT_MW_* codes. For the encoder the stream index is read
    // from the first field of the structure sent along.
    uint32_t get(uint32_t ulCmd, const std::vector<uint8_t> &request, std::vector<uint8_t> &out) const;
    // Validates the whole structure first; a refused write stores nothing.
    uint32_t set(uint32_t ulCmd, const std::vector<uint8_t> &data);
    void restoreImageDefaults();
    // Keeps the interface's address fields in step with the device's.
    void setAddress(const std::string &strIp, const std::string &strMask, const std::string &strGateway);

    std::vector<uint8_t> exportFile(const std::string &strVersion) const;
    // Foreign (other model) or damaged files are refused and change nothing.
    // The device keeps its own address, mask and gateway.
    uint32_t importFile(const std::vector<uint8_t> &file);
    // Loads a file written by exportFile including the address (state kept
    // across simulator runs); the version is returned.
    bool loadState(const std::vector<uint8_t> &file, std::string &strVersion);

    // Picture parameters for the live image.
    uint32_t enhance(std::size_t offset) const;
    std::vector<uint8_t> structure(uint32_t ulCmd, uint32_t ulIndex = 0) const;

private:
    using Key = std::pair<uint32_t, uint32_t>;
    void setDefaults(const std::string &strIp);
    void setImageDefaults();
    uint32_t validate(uint32_t ulCmd, const std::vector<uint8_t> &data) const;
    uint32_t validateEncoder(const std::vector<uint8_t> &data) const;
    // Frame-rate limits and the capacity the encoding document advertises.
    uint32_t validateEncoderLoad(const std::vector<uint8_t> &data) const;
    uint32_t validateExposure(const std::vector<uint8_t> &data) const;
    uint32_t validateNetwork(const std::vector<uint8_t> &data) const;
    bool parseFile(const std::vector<uint8_t> &file, std::map<Key, std::vector<uint8_t>> &entries,
                   std::string &strVersion) const;

    const IpcModel *m_model;
    std::map<Key, std::vector<uint8_t>> m_structs;
};

// True for a dotted IPv4 address text (four numbers 0..255).
bool isDottedIp(const char *text, std::size_t maxLen);

#endif // IPCCONFIG_H
