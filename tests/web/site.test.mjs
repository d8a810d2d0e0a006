// The built site in Debian's Chromium, used as a person would: real pointer, touch and key
// input through the DevTools protocol, on a page served over HTTP from 127.0.0.1.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, runWasiCommand, serve } from './browser.mjs';
import { audit } from './lighthouse.mjs';

const site = process.env.QUINBRAY_SITE;
let server, browser, page, url;

const $ = (name) => `#mainfrm-${name}`;
const value = (name) => page.$eval($(name), (e) => e.value);
const result = () => value('Text1');
const center = async (selector) => {
  const box = await (await page.$(selector)).boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
};
const settle = () => page.evaluate(() => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0))));
async function type(name, text) {
  await page.click($(name), { clickCount: 3 });
  await page.keyboard.down('Control');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Control');
  await page.keyboard.type(text);
}
async function fill(texts) {
  for (const [name, text] of Object.entries(texts)) await type(name, text);
}
const shown = () => page.$$eval('section.window:not([hidden])', (all) => all.map((e) => e.id));
const focused = () => page.evaluate(() => document.activeElement?.id);

before(async () => {
  server = await serve(site);
  url = `http://127.0.0.1:${server.address().port}/`;
  browser = await launch();
  page = await browser.newPage();
  await page.setViewport({ width: 800, height: 600 });
  await page.goto(url);
  await page.waitForSelector('#mainfrm:not([hidden])');
});

after(async () => {
  await browser?.close();
  server?.close();
});

test('the calculator window as designed, with its start-up values and lists', async () => {
  assert.equal(await page.title(), 'Quinbray Build Calculator');
  assert.deepEqual(await shown(), ['mainfrm']);
  const client = await page.$eval('#mainfrm .client', (e) => [e.clientWidth, e.clientHeight]);
  assert.deepEqual(client, [345, 186]);
  assert.equal(await page.$eval('#mainfrm-title', (e) => e.textContent), 'Quinbray Build Calculator');

  // Every control where the design puts it, in pixels at 96 DPI.
  const places = { Combo1: [16, 40, 81], Text3: [128, 40, 81], Combo5: [240, 40, 81],
    Combo2: [16, 104, 81], Combo4: [128, 104, 81], Text1: [240, 104, 81], cmd1: [16, 144, 81],
    cmd2: [144, 144, 49], cmd3: [256, 144, 49], lbl1: [16, 8, 65], lbl8: [240, 72, 81] };
  for (const [name, [left, top, width]] of Object.entries(places)) {
    const box = await page.$eval($(name), (e) => {
      const c = e.closest('.control').getBoundingClientRect();
      const o = e.closest('.client').getBoundingClientRect();
      return [c.left - o.left, c.top - o.top, c.width];
    });
    assert.deepEqual(box, [left, top, width], name);
  }

  const shot = await page.screenshot({ clip: { ...(await center($('Text1'))), width: 1, height: 1 }, encoding: 'binary' });
  const pixel = await page.evaluate(async (png) => {
    const image = await createImageBitmap(new Blob([new Uint8Array(png)], { type: 'image/png' }));
    const canvas = new OffscreenCanvas(1, 1);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    return [...context.getImageData(0, 0, 1, 1).data.slice(0, 3)];
  }, [...shot]);
  assert.deepEqual(pixel, [255, 255, 192], 'the result field is pale yellow');

  const start = { Combo1: '5', Combo2: '4', Text3: '1', Combo4: '2500', Combo5: '2', Text1: '' };
  for (const [name, text] of Object.entries(start)) assert.equal(await value(name), text, name);
  const lists = {
    Combo1: ['15', '12.5', '12', '10', '6', '5', '4', '1.6'],
    Combo2: ['1', '2', '3', '4', '6', '8', '10', '12', '14', '16', '18', '20', '22', '24'],
    Combo4: ['1', '2', '2.5', '5', '10', '20', '25', '50', '100', '200', '250', '500', '1000',
      '2000', '2500', '5000', '10000', '20000', '25000', '50000'],
    Combo5: ['2', '3'],
  };
  for (const [name, items] of Object.entries(lists))
    assert.deepEqual(await page.$$eval(`${$(name)}-list li`, (all) => all.map((e) => e.textContent)), items, name);
});

test('Calculate runs on the release of any mouse button pressed on it, wherever it is released', async () => {
  const cases = [
    { texts: { Combo1: '10', Combo2: '4', Text3: '0.5', Combo4: '1000', Combo5: '3' }, button: 'left', expected: '3.75' },
    { texts: { Combo1: '15' }, button: 'right', expected: '5.62' }, // 5.625, a tie, to even
    { texts: { Combo1: '5', Text3: '1', Combo4: '2500', Combo5: '2' }, button: 'middle', expected: '1.00' },
    { texts: { Combo2: '7' }, button: 'left', offButton: true, expected: '0.57' },
    { texts: { Combo4: '2500 lb', Combo2: '4' }, button: 'right', offButton: true, expected: '1.00' },
  ];
  for (const { texts, button, offButton, expected } of cases) {
    const earlier = await result();
    await fill(texts);
    assert.equal(await result(), earlier, 'typing computes nothing');
    const at = await center($('cmd1'));
    await page.mouse.move(at.x, at.y);
    await page.mouse.down({ button });
    if (offButton) await page.mouse.move(at.x + 200, at.y + 150);
    await page.mouse.up({ button });
    await settle();
    assert.equal(await result(), expected, `${button}${offButton ? ', released off the button' : ''} ${await page.$$eval('#mainfrm input', (all) => all.map((e) => e.value))}`);
  }
});

test('the keyboard, and a press begun elsewhere, never calculate', async () => {
  await fill({ Combo1: '5', Combo2: '4', Text3: '1', Combo4: '2500', Combo5: '2' });
  await page.click($('cmd1'));
  assert.equal(await result(), '1.00');
  await type('Combo1', '10'); // a calculation now would give 2.00
  const tries = [
    async () => { await page.focus($('cmd1')); await page.keyboard.press('Enter'); },
    async () => { await page.focus($('cmd1')); await page.keyboard.press('Space'); },
    async () => { await page.keyboard.down('Alt'); await page.keyboard.press('KeyC'); await page.keyboard.up('Alt'); },
    async () => {
      const from = await center($('Text3')), to = await center($('cmd1'));
      await page.mouse.move(from.x, from.y);
      await page.mouse.down();
      await page.mouse.move(to.x, to.y);
      await page.mouse.up();
    },
  ];
  for (const attempt of tries) {
    await attempt();
    await settle();
    assert.equal(await result(), '1.00');
  }
});

test('Tab follows the designed order and goes round; lists are picked by mouse and by keys', async () => {
  await page.focus($('Combo1'));
  const order = [];
  for (let i = 0; i < 8; i++) {
    order.push(await focused());
    await page.keyboard.press('Tab');
  }
  assert.deepEqual(order, ['Combo1', 'Text3', 'Combo5', 'Combo2', 'Combo4', 'cmd1', 'cmd2', 'cmd3'].map((n) => `mainfrm-${n}`));
  assert.equal(await focused(), 'mainfrm-Combo1', 'Tab from Exit goes back to the first field');

  await page.click(`${$('Combo1')} + .drop`);
  assert.equal(await page.$eval($('Combo1'), (e) => e.getAttribute('aria-expanded')), 'true');
  await page.click(`${$('Combo1')}-list li:nth-child(2)`);
  assert.equal(await value('Combo1'), '12.5');
  assert.equal(await page.$eval(`${$('Combo1')}-list`, (e) => e.hidden), true);

  await page.focus($('Combo4'));
  for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'Enter']) await page.keyboard.press(key);
  assert.equal(await value('Combo4'), '10000', 'opened at 2500, two down');
  for (const key of ['ArrowDown', 'ArrowUp', 'Escape']) await page.keyboard.press(key);
  assert.equal(await value('Combo4'), '10000', 'Escape closes and keeps the text');
  assert.equal(await page.$eval($('Combo4'), (e) => e.getAttribute('aria-expanded')), 'false');
});

test('a quotient that is not finite gives a modal message and empties the result', async () => {
  await fill({ Combo1: '5', Combo2: '0', Text3: '1', Combo4: '2500', Combo5: '2' });
  await page.click($('cmd1'));
  const dialog = await page.waitForSelector('dialog[open]');
  assert.equal(await dialog.$eval('h1', (e) => e.textContent), 'Quinbray Build Calculator');
  assert.match(await dialog.$eval('p', (e) => e.textContent), /must not be zero/);
  assert.equal(await result(), '');
  await page.keyboard.press('Enter'); // OK has the focus
  await page.waitForFunction(() => !document.querySelector('dialog')); // it goes on its close event
});

test('Help and Close take turns, keep every value and use one help window', async () => {
  await fill({ Combo1: '12', Combo2: '3', Text3: '0.2', Combo4: '50', Combo5: '3' });
  await page.click($('cmd1'));
  const before = await page.$$eval('#mainfrm input', (all) => all.map((e) => e.value));
  for (const [open, close] of [['click', 'click'], ['Alt+H', 'Alt+C']]) {
    if (open === 'click') await page.click($('cmd2'));
    else { await page.keyboard.down('Alt'); await page.keyboard.press('KeyH'); await page.keyboard.up('Alt'); }
    assert.deepEqual(await shown(), ['helpfrm']);
    assert.equal(await page.title(), 'Operation');
    assert.equal(await page.$$eval('#helpfrm', (all) => all.length), 1);
    const credit = await page.$eval('#helpfrm-Label5', (e) => [e.textContent, getComputedStyle(e).color]);
    assert.deepEqual(credit, ['Quinbray Ver 1.01   May 2002', 'rgb(0, 0, 255)']);
    if (close === 'click') await page.click('#helpfrm-cmd1');
    else { await page.keyboard.down('Alt'); await page.keyboard.press('KeyC'); await page.keyboard.up('Alt'); }
    assert.deepEqual(await shown(), ['mainfrm']);
    assert.deepEqual(await page.$$eval('#mainfrm input', (all) => all.map((e) => e.value)), before);
  }
  assert.equal(await result(), '48.00');
});

test('long pasted texts with any characters are taken whole', async () => {
  await browser.defaultBrowserContext().overridePermissions(url, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  const start = { Combo1: '5', Combo2: '4', Text3: '1', Combo4: '2500', Combo5: '2' };
  for (const [name, number] of Object.entries(start)) {
    const text = `${number} ${'µ漢€'.repeat(11000)}`.slice(0, 32767);
    await page.evaluate((t) => navigator.clipboard.writeText(t), text);
    await page.focus($(name));
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyA');
    await page.keyboard.press('KeyV', { commands: ['paste'] });
    await page.keyboard.up('Control');
    assert.equal(await value(name), text, name);
  }
  await page.click($('cmd1'));
  assert.equal(await result(), '1.00');
});

test("Chromium's accessibility tree names every input by its caption", async () => {
  const tree = await page.accessibility.snapshot({ interestingOnly: false });
  const nodes = [];
  const walk = (node) => { nodes.push(node); node.children?.forEach(walk); };
  walk(tree);
  const named = (role, name) => nodes.some((n) => n.role === role && n.name === name);
  for (const caption of ['Excitation Voltage', 'Number of Load Cells', 'Load Cell Capacity', 'Cell Rating in mV / Volt'])
    assert.ok(named('combobox', caption), caption);
  assert.ok(named('textbox', 'Division Size in Lb or KG'));
  assert.ok(named('textbox', 'Quinbray per Increment'));
  for (const caption of ['Calculate', 'Help', 'Exit']) assert.ok(named('button', caption), caption);
});

test('the calculation in the browser gives exactly the native text on the shared table', async () => {
  const corpus = process.env.QUINBRAY_CORPUS;
  const rows = [readFileSync(process.env.QUINBRAY_CASES, 'utf8').trimEnd()];
  for (const file of readdirSync(corpus).sort())
    rows.push(readFileSync(join(corpus, file), 'utf8').split('\n').slice(0, 5).join('|'));
  const input = `${rows.join('\n')}\n`;
  const native = execFileSync(process.env.QUINBRAY_CALC_TABLE_HOST, { input, encoding: 'utf8' });
  const wasm = [...readFileSync(process.env.QUINBRAY_CALC_TABLE)];
  const { output } = await page.evaluate(runWasiCommand, wasm, input, 1);
  assert.equal(output, native);
});

test('offline after one visit, and installable', async () => {
  await page.reload();
  await page.waitForSelector('#mainfrm:not([hidden])');
  await page.evaluate(() => navigator.serviceWorker.ready);
  const client = await page.createCDPSession();
  const { installabilityErrors } = await client.send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors, []);
  const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
  assert.deepEqual(manifest.icons.map((i) => i.sizes), ['192x192', '512x512']);

  const requests = [];
  page.on('request', (r) => requests.push(r.url()));
  await new Promise((done) => server.close(done)); // the network is gone
  await page.setOfflineMode(true);
  await page.reload();
  await page.waitForSelector('#mainfrm:not([hidden])');
  await type('Combo1', '15');
  await page.click($('cmd1'));
  assert.equal(await result(), '3.00');
  assert.ok(requests.every((r) => r.startsWith(url)), 'no request leaves the site');
  await page.setOfflineMode(false);
  server = await serve(site, Number(new URL(url).port));
});

// The first load to show a new version is the first page opened once no page of the older one
// is open: a page open while it installs keeps its version, reloads included.
test('an update: the page open meanwhile keeps its version, the next page opened has the new one', async () => {
  const copy = mkdtempSync(join(tmpdir(), 'quinbray-site-'));
  cpSync(site, copy, { recursive: true });
  let live = await serve(copy);
  const address = `http://127.0.0.1:${live.address().port}/`;
  const asked = [];
  live.on('request', (request, response) => response.on('finish', () => asked.push(`${request.url} ${response.statusCode}`)));
  const context = await browser.createBrowserContext();
  let visit = await context.newPage();
  // The version a page shows, the stylesheet its later requests get, and the caches kept.
  const state = () => visit.evaluate(async () => [
    getComputedStyle(document.documentElement).getPropertyValue('--build') || 'first',
    (await (await fetch('style.css')).text()).includes('--build') ? 'second' : 'first',
    (await caches.keys()).length,
  ]);
  const load = async (how) => {
    if (how === 'open') visit = await context.newPage();
    await (how === 'reload' ? visit.reload() : visit.goto(address));
    await visit.waitForSelector('#mainfrm:not([hidden])');
  };
  try {
    await load('open');
    await visit.evaluate(() => navigator.serviceWorker.ready);
    const [first] = await visit.evaluate(() => caches.keys());
    // The second version differs in one file; its worker is written as the build writes it.
    appendFileSync(join(copy, 'style.css'), '\n:root { --build: second }\n');
    execFileSync(process.env.QUINBRAY_CMAKE, [`-DSITE=${copy}`, `-DFILES=${process.env.QUINBRAY_SITE_FILES}`,
      '-P', process.env.QUINBRAY_WRITE_WORKER]);
    asked.length = 0;
    await load('reload'); // the browser finds the new worker, which installs and waits
    await visit.waitForFunction(async () => (await navigator.serviceWorker.getRegistration()).waiting?.state === 'installed');
    const loads = [
      ['reload', ['first', 'first', 2]], // the page that was open for the install, reloaded
      ['close', ['second', 'second', 1]], // closed, and opened again: the new version, at last
      ['offline', ['second', 'second', 1]],
    ];
    for (const [how, expected] of loads) {
      if (how === 'close') await visit.close();
      if (how === 'offline') {
        await new Promise((done) => live.close(done));
        await visit.setOfflineMode(true);
      }
      await load(how === 'close' ? 'open' : 'reload');
      assert.deepEqual(await state(), expected, how);
    }
    assert.ok(!(await visit.evaluate(() => caches.keys())).includes(first), 'the older cache is gone');
    // Besides the browser's checks of the worker, the server is asked for the changed file only.
    assert.deepEqual(asked.filter((line) => !line.startsWith('/sw.js ')), ['/style.css 200']);
    await visit.click($('cmd1'));
    assert.equal(await visit.$eval($('Text1'), (e) => e.value), '1.00');
  } finally {
    await context.close();
    live.close();
    rmSync(copy, { recursive: true, force: true });
  }
});

test('a 360 px phone: no sideways scrolling, Calculate by a tap', async () => {
  const phone = await browser.newPage();
  await phone.setViewport({ width: 360, height: 640, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await phone.goto(url);
  await phone.waitForSelector('#mainfrm:not([hidden])');
  const widths = await phone.evaluate(() => [document.documentElement.scrollWidth, window.innerWidth]);
  assert.ok(widths[0] <= widths[1], `page ${widths[0]} px wide in a ${widths[1]} px view`);
  const box = await (await phone.$($('cmd1'))).boundingBox();
  await phone.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await phone.waitForFunction(() => document.querySelector('#mainfrm-Text1').value === '1.00');
  await phone.close();
});

test('Exit ends the program: both windows go and nothing more is handled', async () => {
  await page.click($('cmd2'));
  await page.click('#helpfrm-cmd1');
  await page.keyboard.down('Alt'); // Exit by its access key; its click is tested on the desktop
  await page.keyboard.press('KeyX');
  await page.keyboard.up('Alt');
  assert.equal(await page.$$eval('section.window', (all) => all.length), 0);
  assert.equal(await page.$eval('#ended', (e) => e.hidden), false);
  assert.equal(await page.$eval('#ended a', (e) => e.getAttribute('href')), './');
  await page.keyboard.down('Alt');
  await page.keyboard.press('KeyH');
  await page.keyboard.up('Alt');
  assert.equal(await page.$$eval('section.window', (all) => all.length), 0);
});

test("Lighthouse, as its phone: accessibility, best practices and SEO each 100", async () => {
  const { scores, failed } = await audit(url, ['accessibility', 'best-practices', 'seo']);
  assert.deepEqual(scores, { accessibility: 100, 'best-practices': 100, seo: 100 }, failed.join('; '));
});
