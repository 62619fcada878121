// The simulator's ONVIF devices driven by an independent client (the npm
// package "onvif"). Run inside a loopback-only network namespace (netns.sh):
//   node onvif_npm.js PATH/TO/corvane-devsim
'use strict';
const assert = require('node:assert');
const { test, after } = require('node:test');
const { spawn } = require('node:child_process');
const path = require('node:path');
const readline = require('node:readline');

function skip(reason) {
    console.log('SKIP: ' + reason);
    process.exit(process.env.CI === 'true' ? 1 : 77);
}

let onvif;
try {
    onvif = require(path.join(__dirname, 'node_modules', 'onvif'));
} catch (e) {
    skip('the npm package onvif is not installed (npm ci in tests/peers/onvif): ' + e.message);
}

const simulatorPath = process.argv[2];
const first = '127.130.0.10';
let sim;
const devices = [];

function startSimulator() {
    return new Promise((resolve, reject) => {
        sim = spawn(simulatorPath, ['--onvif', '2', '--onvif-nvr', '1', '--first', first, '--restart-ms', '1500',
                                    '--exit-on-eof'], { stdio: ['pipe', 'pipe', 'inherit'] });
        sim.on('error', reject);
        sim.on('exit', code => reject(new Error('simulator ended with ' + code)));
        readline.createInterface({ input: sim.stdout }).on('line', line => {
            if (line === 'ready')
                return resolve();
            const [type, ip, port, model, serial, mac, endpoint] = line.split(' ');
            devices.push({ type, ip, port: Number(port), model, serial, mac, endpoint });
        });
    });
}

const call = (cam, method, ...args) => new Promise((resolve, reject) =>
    cam[method](...args, (err, result) => (err ? reject(err) : resolve(result))));

function connect(ip, port, password = 'vorpe') {
    return new Promise((resolve, reject) => {
        const cam = new onvif.Cam({ hostname: ip, port, username: 'admin', password, timeout: 5000, autoconnect: false });
        cam.connect(err => (err ? reject(err) : resolve(cam)));
    });
}

async function waitFor(condition, timeoutMs) {
    const end = Date.now() + timeoutMs;
    for (;;) {
        try {
            return await condition();
        } catch (e) {
            if (Date.now() > end)
                throw e;
            await new Promise(r => setTimeout(r, 200));
        }
    }
}

after(() => sim && sim.kill('SIGTERM'));

function discover(messageId) {
    const found = new Map();
    onvif.Discovery.removeAllListeners('device');
    onvif.Discovery.on('device', (cam, rinfo) =>
        found.set(cam.probeMatches.probeMatch.endpointReference.address, { cam, rinfo }));
    return new Promise((resolve, reject) =>
        onvif.Discovery.probe({ timeout: 1500, resolve: false, messageId },
                              err => (err ? reject(err) : resolve(found))));
}

test('discovery finds every device with its endpoint reference, address and scopes', async () => {
    await startSimulator();
    const messageId = '6f1c2a4e-8d3b-4c5a-9e7f-0a1b2c3d4e5f';
    await discover(messageId);
    // Another socket reusing the message id is a different prober and gets its own answers.
    const found = await discover(messageId);
    for (const device of devices) {
        const match = found.get(device.endpoint);
        assert.ok(match, 'no ProbeMatch from ' + device.endpoint);
        assert.strictEqual(match.rinfo.address, device.ip);
        const probeMatch = match.cam.probeMatches.probeMatch;
        assert.match(probeMatch.XAddrs, new RegExp('^http://' + device.ip.replace(/\./g, '\\.') + ':' + device.port + '/'));
        assert.match(probeMatch.scopes, new RegExp('onvif://www.onvif.org/hardware/' + device.model));
    }
});

test('a logged-in client reads identity, interfaces and time, and sets the time zone and clock', async () => {
    const device = devices[0];
    const cam = await connect(device.ip, device.port);
    const info = await call(cam, 'getDeviceInformation');
    assert.strictEqual(info.serialNumber, device.serial);
    assert.strictEqual(info.model, device.model);
    const interfaces = await call(cam, 'getNetworkInterfaces');
    assert.strictEqual(interfaces[0].IPv4.config.manual.address, device.ip);
    assert.strictEqual(interfaces[0].info.hwAddress.replace(/:/g, ''), device.mac);

    const when = new Date(Date.UTC(2031, 5, 2, 3, 4, 5));
    await call(cam, 'setSystemDateAndTime',
               { dateTimeType: 'Manual', daylightSavings: true, timezone: 'CET-1CEST,M3.5.0,M10.5.0/3', dateTime: when });
    const clock = await call(cam, 'getSystemDateAndTime');
    assert.ok(Math.abs(clock.getTime() - when.getTime()) < 10000, 'device clock is ' + clock.toISOString());
    // A fresh login computes its token in the device's new clock, years off the host's.
    const again = await connect(device.ip, device.port);
    assert.strictEqual((await call(again, 'getDeviceInformation')).serialNumber, device.serial);
});

test('a wrong password is refused', async () => {
    const device = devices[1];
    await assert.rejects(async () => {
        const cam = await connect(device.ip, device.port, 'wrong-password');
        await call(cam, 'getDeviceInformation');
    });
});

test('an address change moves the device; a restart takes it away and brings it back', async () => {
    const device = devices[1];
    const cam = await connect(device.ip, device.port);
    const newIp = '127.130.0.99';
    await call(cam, 'setNetworkInterfaces', {
        interfaceToken: 'eth0', networkInterface: { enabled: true, IPv4: { enabled: true, DHCP: false,
                                                                              manual: { address: newIp, prefixLength: 16 } } } });
    const moved = await waitFor(() => connect(newIp, device.port), 5000);
    assert.strictEqual((await call(moved, 'getDeviceInformation')).serialNumber, device.serial);
    await assert.rejects(connect(device.ip, device.port));

    // The client posts SystemReboot to the DeviceIO service's address, a service these devices do not
    // offer (it then posts to the bare path "deviceIO"); the operation belongs to the device service.
    moved.uri.deviceIO = moved.uri.device;
    await call(moved, 'systemReboot');
    // The device answers first and goes down right after: wait until it is gone.
    await waitFor(() => assert.rejects(connect(newIp, device.port)), 1000);
    const back = await waitFor(() => connect(newIp, device.port), 10000);
    assert.strictEqual((await call(back, 'getDeviceInformation')).serialNumber, device.serial);
});
