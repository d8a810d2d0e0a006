// The tests' Chromium keeps its sandbox wherever it can have one: it is turned off only as
// root, where Chromium will not start with it. Run as root, this test runs again as nobody,
// whose browser must render its pages confined by seccomp's filter.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { chownSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launch } from './browser.mjs';

// Each process under the browser that renders pages, with its seccomp mode (2: a filter).
function renderers(browser) {
  const parents = new Map();
  for (const pid of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
      parents.set(pid, stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
    } catch {
      // ended meanwhile
    }
  }
  const under = (pid) => parents.has(pid) && (parents.get(pid) === browser || under(parents.get(pid)));
  return [...parents.keys()].filter((pid) => under(pid)).flatMap((pid) => {
    try {
      // A zygote's child writes its command line anew, with spaces between the arguments.
      if (!/(^|[\0 ])--type=renderer([\0 ]|$)/.test(readFileSync(`/proc/${pid}/cmdline`, 'utf8'))) return [];
      return [[pid, readFileSync(`/proc/${pid}/status`, 'utf8').match(/^Seccomp:\s*(\d)/m)[1]]];
    } catch {
      return [];
    }
  });
}

const asRoot = process.getuid() === 0;
// Chromium's sandbox needs user namespaces, which a chroot (as a fresh machine's check runs
// in) or a container's policy may withhold from an ordinary user.
const namespaces = () => spawnSync('setpriv', ['--reuid=nobody', '--regid=nogroup', '--clear-groups', 'unshare', '--user', 'true']).status === 0;

test('as any user but root, the browser renders its pages in its sandbox', async (t) => {
  if (asRoot) {
    if (!namespaces()) return t.skip('an ordinary user here gets no user namespaces, so Chromium cannot sandbox');
    const home = mkdtempSync(join(tmpdir(), 'quinbray-nobody-'));
    const [uid, gid] = ['-u', '-g'].map((flag) => Number(execFileSync('id', [flag, 'nobody'])));
    chownSync(home, uid, gid);
    const env = { ...process.env, HOME: home };
    delete env.NODE_TEST_CONTEXT; // a test run of its own, which reports as one
    try {
      const run = spawnSync('setpriv', ['--reuid=nobody', '--regid=nogroup', '--clear-groups', '--',
        process.execPath, '--test', fileURLToPath(import.meta.url)], { env, encoding: 'utf8' });
      assert.equal(run.status, 0, `as nobody:\n${run.stdout}${run.stderr}`);
      assert.match(run.stdout, /^# pass 1$/m, run.stdout);
    } finally {
      rmSync(home, { recursive: true, force: true });
    }
    return;
  }
  const browser = await launch();
  try {
    const page = await browser.newPage();
    await page.goto('data:text/html,<title>A page</title>');
    assert.equal(await page.title(), 'A page');
    const modes = renderers(String(browser.process().pid));
    assert.ok(modes.length > 0, 'a renderer is found');
    for (const [pid, mode] of modes) assert.equal(mode, '2', `renderer ${pid} runs under a seccomp filter`);
  } finally {
    await browser.close();
  }
});
