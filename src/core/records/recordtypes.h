#ifndef RECORDTYPES_H
#define RECORDTYPES_H

// Registers the records that queued signals carry between threads: the device
// record and its list, the network-address record and the capability entries,
// under their value names and the reference names the signals use.
void registerRecordTypes();

#endif // RECORDTYPES_H
