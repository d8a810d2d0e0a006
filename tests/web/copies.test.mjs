// Two copies of the site on one origin at two paths, as a release and a test build share an
// intranet's server, in Debian's Chromium: visiting or updating one never costs the other its
// offline copy, and each takes its updates as if it were alone.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, serve } from './browser.mjs';

const top = mkdtempSync(join(tmpdir(), 'quinbray-copies-'));
const paths = { release: 'tools/quinbray', next: 'tools/quinbray-next' };

// The built site at `path`, told apart by `build` in its stylesheet, its worker written as
// the build writes it; gives the digest that names its cache.
function build(path, build) {
  const folder = join(top, path);
  cpSync(process.env.QUINBRAY_SITE, folder, { recursive: true });
  appendFileSync(join(folder, 'style.css'), `\n:root { --build: ${build} }\n`);
  execFileSync(process.env.QUINBRAY_CMAKE, [`-DSITE=${folder}`, `-DFILES=${process.env.QUINBRAY_SITE_FILES}`,
    '-P', process.env.QUINBRAY_WRITE_WORKER]);
  return readFileSync(join(folder, 'sw.js'), 'utf8').match(/ ([0-9a-f]{16})`;/)[1];
}

const buildOf = (tab) => tab.evaluate(() => getComputedStyle(document.documentElement).getPropertyValue('--build').trim());
const activated = (tab) => tab.waitForFunction(async () =>
  (await navigator.serviceWorker.getRegistration())?.active?.state === 'activated', { polling: 100 });
const started = (tab) => tab.waitForSelector('html.ready');

test('two copies on one origin keep their own offline copies through visits and updates', async () => {
  const digests = { release: build(paths.release, 'release'), next: build(paths.next, 'next') };
  writeFileSync(join(top, 'index.html'), '<!doctype html><title>The server</title>');
  const server = await serve(top);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const address = (copy) => `${origin}/${paths[copy]}/`;
  const cache = (copy) => `quinbray ${address(copy)} ${digests[copy]}`;
  const browser = await launch();
  const context = await browser.createBrowserContext();
  try {
    // Caches named as before they carried a scope: one holds the release's page, the other
    // a third copy's, which only that copy may remove.
    const other = await context.newPage();
    await other.goto(`${origin}/`);
    const legacy = { release: 'quinbray-0123456789abcdef', third: 'quinbray-fedcba9876543210' };
    await other.evaluate(async (entries) => {
      for (const [name, page] of entries) await (await caches.open(name)).put(page, new Response('<!doctype html>'));
    }, [[legacy.release, `${address('release')}index.html`], [legacy.third, `${origin}/tools/other/index.html`]]);
    const names = async () => (await other.evaluate(() => caches.keys())).sort();

    const tabs = {};
    for (const copy of ['release', 'next']) {
      tabs[copy] = await context.newPage();
      await tabs[copy].goto(address(copy));
      await started(tabs[copy]);
      await activated(tabs[copy]);
    }
    assert.deepEqual(await names(), [cache('release'), cache('next'), legacy.third].sort(), 'both visited');

    // The test build is updated while the release stays open: the next load finds the new
    // version, and the one after brings it, its copy's only page being open.
    digests.next = build(paths.next, 'next-2');
    await tabs.next.reload();
    await tabs.next.waitForFunction(async () =>
      (await navigator.serviceWorker.getRegistration()).waiting?.state === 'installed', { polling: 100 });
    await tabs.next.reload();
    await tabs.next.waitForFunction(() =>
      getComputedStyle(document.documentElement).getPropertyValue('--build').trim() === 'next-2', { polling: 100 });
    await activated(tabs.next);
    assert.deepEqual(await names(), [cache('release'), cache('next'), legacy.third].sort(), 'the test build updated');

    await new Promise((done) => server.close(done));
    for (const [copy, expected] of [['release', 'release'], ['next', 'next-2']]) {
      await tabs[copy].setOfflineMode(true);
      await tabs[copy].reload();
      await started(tabs[copy]);
      assert.equal(await buildOf(tabs[copy]), expected, `${copy}, offline`);
    }
  } finally {
    await browser.close();
    server.close();
    rmSync(top, { recursive: true, force: true });
  }
});
