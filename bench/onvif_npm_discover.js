// One WS-Discovery probe of the npm package onvif with its defaults but a
// 1.5 s wait; prints how many devices of the range answered.
//   node onvif_npm_discover.js FIRST_IP COUNT
'use strict';
const path = require('node:path');
const onvif = require(path.join(__dirname, '..', 'tests', 'peers', 'onvif', 'node_modules', 'onvif'));

const toNumber = ip => ip.split('.').reduce((n, part) => n * 256 + Number(part), 0);
const first = toNumber(process.argv[2]);
const count = Number(process.argv[3]);
const found = new Set();
onvif.Discovery.on('error', () => {});
onvif.Discovery.on('device', (cam, rinfo) => {
    const offset = toNumber(rinfo.address) - first;
    if (offset >= 0 && offset < count)
        found.add(cam.probeMatches.probeMatch.endpointReference.address);
});
onvif.Discovery.probe({ timeout: 1500, resolve: false }, () => {
    console.log(found.size);
    process.exit(0);
});
