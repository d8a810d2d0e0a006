// Debian's Chromium, headless, with a fresh profile, and the site's server: what the web
// tests and the benchmark share.
import { spawn } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
export { serve } from '../../scripts/serve.mjs';
export { PredefinedNetworkConditions } from 'puppeteer-core';
// Quantiles by linear interpolation between the closest ranks, for the benchmark's spreads.
export { quantile } from 'd3-array';

// No calls home, which a closed network refuses. The sandbox is turned off only as root,
// where Chromium cannot set it up and will not start with it; any other user keeps it.
export const chromiumFlags = [...(process.getuid?.() === 0 ? ['--no-sandbox'] : []), '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic'];
export const chromium = process.env.CHROMIUM ?? '/usr/bin/chromium';

// `preferences` go into the fresh profile, as the browser's settings would write them.
export async function launch({ preferences } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'quinbray-chromium-'));
  if (preferences) {
    mkdirSync(join(profile, 'Default'));
    writeFileSync(join(profile, 'Default', 'Preferences'), JSON.stringify(preferences));
  }
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: chromiumFlags,
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 5 });
  };
  return browser;
}

// Runs a WASI command RUNS times in the page it is evaluated in (it is self-contained for
// that), with standard input from a string and the given arguments after the program's
// name; gives back the last run's standard output and the time of each run alone. The
// command's clocks read the page's monotonic clock.
export async function runWasiCommand(bytes, input, runs, args = []) {
  const module = await WebAssembly.compile(new Uint8Array(bytes));
  const stdin = new TextEncoder().encode(input);
  const argv = ['command', ...args].map((arg) => new TextEncoder().encode(`${arg}\0`));
  const times = [];
  let output;
  for (let run = 0; run < runs; run++) {
    let memory;
    let read = 0;
    output = [];
    const view = () => new DataView(memory.buffer);
    const io = (iovs, count, each) => {
      let total = 0;
      for (let i = 0; i < count; i++)
        total += each(view().getUint32(iovs + i * 8, true), view().getUint32(iovs + i * 8 + 4, true));
      return total;
    };
    const wasi = {
      fd_read(fd, iovs, count, done) {
        view().setUint32(done, io(iovs, count, (at, size) => {
          const n = Math.min(size, stdin.length - read);
          new Uint8Array(memory.buffer, at, n).set(stdin.subarray(read, read + n));
          read += n;
          return n;
        }), true);
        return 0;
      },
      fd_write(fd, iovs, count, done) {
        view().setUint32(done, io(iovs, count, (at, size) => {
          output.push(new Uint8Array(memory.buffer, at, size).slice());
          return size;
        }), true);
        return 0;
      },
      proc_exit(status) {
        throw new Error(`exit ${status}`);
      },
      args_sizes_get(count, size) {
        view().setUint32(count, argv.length, true);
        view().setUint32(size, argv.reduce((n, arg) => n + arg.length, 0), true);
        return 0;
      },
      args_get(pointers, buffer) {
        argv.forEach((arg, i) => {
          view().setUint32(pointers + i * 4, buffer, true);
          new Uint8Array(memory.buffer, buffer, arg.length).set(arg);
          buffer += arg.length;
        });
        return 0;
      },
      clock_time_get(id, precision, time) {
        view().setBigUint64(time, BigInt(Math.round(performance.now() * 1e6)), true);
        return 0;
      },
    };
    const instance = await WebAssembly.instantiate(module, {
      wasi_snapshot_preview1: new Proxy(wasi, { get: (t, n) => t[n] ?? (() => 0) }),
    });
    memory = instance.exports.memory;
    const start = performance.now();
    instance.exports._start();
    times.push(performance.now() - start);
  }
  const bytesOut = new Uint8Array(output.reduce((n, chunk) => n + chunk.length, 0));
  output.reduce((at, chunk) => (bytesOut.set(chunk, at), at + chunk.length), 0);
  return { output: new TextDecoder().decode(bytesOut), times };
}

// A virtual X server of the given screen, which tells its display once it is listening;
// its end is put on `stops`, the test's list of what to end.
export async function xServer(stops, screen) {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', screen, '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const display = await new Promise((done, fail) => {
    let said = '';
    xvfb.stdio[3].on('data', (data) => (said += data).includes('\n') && done(`:${said.trim()}`));
    xvfb.on('exit', () => fail(new Error('Xvfb did not start')));
  });
  stops.push(() => xvfb.kill());
  return display;
}

// A free port on the loopback interface, for a driver to listen on.
export const freePort = () => new Promise((done) => {
  const probe = createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => done(port));
  });
});
