// The simulator's ONVIF devices driven by Debian's onvif-util. Its searches
// go to every interface, so it runs inside a loopback-only namespace (netns.sh):
//   node onvif_tools.js PATH/TO/corvane-devsim
'use strict';
const assert = require('node:assert');
const { test, after } = require('node:test');
const { spawn, spawnSync } = require('node:child_process');
const readline = require('node:readline');

if (spawnSync('onvif-util', ['-h']).error) {
    console.log('SKIP: onvif-util is not installed (Debian package onvif-tools)');
    process.exit(process.env.CI === 'true' ? 1 : 77);
}

const simulatorPath = process.argv[2];
let sim;
const devices = [];

function startSimulator() {
    return new Promise((resolve, reject) => {
        sim = spawn(simulatorPath, ['--onvif', '2', '--first', '127.131.0.10', '--exit-on-eof'],
                    { stdio: ['pipe', 'pipe', 'inherit'] });
        sim.on('error', reject);
        sim.on('exit', code => reject(new Error('simulator ended with ' + code)));
        readline.createInterface({ input: sim.stdout }).on('line', line => {
            if (line === 'ready')
                return resolve();
            const [type, ip, port, model, serial] = line.split(' ');
            devices.push({ type, ip, port: Number(port), model, serial });
        });
    });
}

// onvif-util reads its commands from standard input after logging in.
function onvifUtil(args, commands = '') {
    return new Promise((resolve, reject) => {
        const child = spawn('onvif-util', args, { stdio: ['pipe', 'pipe', 'pipe'] });
        let output = '';
        child.stdout.on('data', chunk => (output += chunk));
        child.stderr.on('data', chunk => (output += chunk));
        const timer = setTimeout(() => child.kill('SIGKILL'), 20000);
        child.on('error', reject);
        child.on('close', (code, signal) => {
            clearTimeout(timer);
            resolve({ code, signal, output });
        });
        child.stdin.end(commands + 'quit\n');
    });
}

after(() => sim && sim.kill('SIGTERM'));

test('the search lists every device with its model', async () => {
    await startSimulator();
    const { code, output } = await onvifUtil(['-a']);
    assert.strictEqual(code, 0, output);
    assert.match(output, new RegExp('Found ' + devices.length + ' cameras'));
    for (const device of devices)
        assert.ok(output.includes(device.ip + ' (' + device.model + ')'), output);
});

test('a login shows identity and the device clock; a wrong password is refused', async () => {
    const device = devices[0];
    const good = await onvifUtil(['-u', 'admin', '-p', 'vorpe', device.ip], 'get time\n');
    assert.strictEqual(good.signal, null, good.output);
    assert.match(good.output, /successfully connected to host/);
    assert.match(good.output, new RegExp('name: +' + device.model + '\\b'));
    assert.match(good.output, new RegExp('serial: +' + device.serial + '\\b'));
    assert.match(good.output, /Timezone: +CST-8/);

    const bad = await onvifUtil(['-u', 'admin', '-p', 'wrong-password', device.ip]);
    assert.strictEqual(bad.signal, null, bad.output);
    assert.notStrictEqual(bad.code, 0, bad.output);
    assert.match(bad.output, /NotAuthorized/);
    assert.doesNotMatch(bad.output, /successfully connected/);
});
